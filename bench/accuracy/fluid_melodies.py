"""Melodies rendered with FluidR3 GM, a SoundFont the factory settings were not tuned on.

The cases the other families hold too few of: voices (choir, voice oohs, synth
voice) with vibrato and glides as a stand-in for singing, bass lines below C2
(down to E1, note 28), fast arpeggios of 65 to 85 ms notes, legato runs of
bowed strings and choir (chromatic ones too), piccolo and high flute, and fast
high piano runs of about 95 ms notes. Half of them are in each fold.

Each entry holds the fields of melodies.Melody; the token form is described there.
A note of a quarter beat lasts 15 / BPM seconds: 65 ms at 230 BPM, 85 ms at 176,
95 ms at 158.
"""

MELODIES = [
    # Voices: vibrato and glides, as a singer would.
    dict(name="fluid_choir_glides", program=52, instrument="Choir Aahs", bpm=72, peak_db=-3.0,
         tokens="57/1l 60/1g 64/1l 62/1l 60/2g 65/1 64/1l 62/1l 60/2 r/1 "
                "67/1g 72/1 71/1l 69/1g 67/1 65/1l 64/2",
         vibrato=0.3),
    dict(name="fluid_voice_oohs_song", program=53, instrument="Voice Oohs", bpm=84, peak_db=-4.0,
         tokens="62/1 64/0.5l 66/0.5l 67/1g 71/1 69/1l 67/1l 66/2 r/1 "
                "64/1g 69/1 67/0.5l 66/0.5l 64/1l 62/1g 59/1 62/3",
         vibrato=0.25, fold="held"),
    dict(name="fluid_synth_voice_slides", program=54, instrument="Synth Voice", bpm=90,
         peak_db=-5.0,
         tokens="60/1g 65/1 64/1l 62/1l 60/1g 55/1 57/2 r/1 "
                "64/1l 65/1l 67/1g 72/1 70/1l 69/1l 67/1g 64/1 65/3",
         vibrato=0.2),
    dict(name="fluid_voice_low", program=53, instrument="Voice Oohs", bpm=76, peak_db=-4.0,
         tokens="45/1l 48/1l 50/1g 52/1 50/1l 48/1l 47/2 r/1 "
                "52/1g 55/1 53/1l 52/1l 50/1g 48/1 45/3",
         vibrato=0.3, fold="held"),
    dict(name="fluid_choir_legato_run", program=52, instrument="Choir Aahs", bpm=96,
         peak_db=-4.0,
         tokens="60/0.5l 62/0.5l 64/0.5l 65/0.5l 67/0.5l 69/0.5l 71/0.5l 72/1l 71/0.5l "
                "70/0.5l 69/0.5l 68/0.5l 67/2 r/1 64/0.5l 65/0.5l 66/0.5l 67/0.5l "
                "68/0.5l 69/1l 67/1l 64/2",
         vibrato=0.15, fold="held"),

    # Bass below C2.
    dict(name="fluid_bass_finger_low", program=33, instrument="Electric Bass (finger)", bpm=100,
         peak_db=-3.0,
         tokens="28/1 31/1 33/1 35/1 36/1 35/1 33/1 31/1 28/0.5 28/0.5 30/1 32/1 "
                "33/1 35/1 37/1 38/1 40/1 38/1 35/1 28/2"),
    dict(name="fluid_tuba_deep", program=58, instrument="Tuba", bpm=76, peak_db=-4.0,
         tokens="29/1 33/1 36/1 34/1 31/1l 29/1l 28/2 r/1 31/0.5 33/0.5 34/1 36/1 "
                "38/1 41/2 36/1 29/2",
         fold="held"),
    dict(name="fluid_contrabass_walk", program=43, instrument="Contrabass", bpm=96, peak_db=-3.0,
         tokens="28/1 32/1 35/1 40/1 38/1 36/1 35/1 33/1 31/1 30/1 28/2 r/1 "
                "33/1l 35/1l 36/1l 38/1l 40/1 43/1 40/1 36/1 33/2"),
    dict(name="fluid_cello_low", program=42, instrument="Cello", bpm=70, peak_db=-4.0,
         tokens="36/1l 38/1l 40/1l 41/1l 43/2 41/1 40/1 38/2 r/1 "
                "43/1 47/1 48/1l 50/1l 48/1 45/1 41/1 36/3",
         vibrato=0.2, fold="held"),
    dict(name="fluid_acoustic_bass_walk", program=32, instrument="Acoustic Bass", bpm=120,
         peak_db=-3.0,
         tokens="29/1 33/1 36/1 38/1 39/1 38/1 36/1 33/1 31/1 35/1 38/1 41/1 "
                "40/1 36/1 33/1 28/1 29/2",
         fold="held"),

    # Fast arpeggios: 65 to 85 ms notes.
    dict(name="fluid_clarinet_arpeggios", program=71, instrument="Clarinet", bpm=190,
         peak_db=-5.0,
         tokens="55/0.25 59/0.25 62/0.25 67/0.25 71/0.25 74/0.25 79/0.25 74/0.25 "
                "71/0.25 67/0.25 62/0.25 59/0.25 55/1 r/0.5 "
                "57/0.25 60/0.25 64/0.25 69/0.25 72/0.25 76/0.25 81/0.25 76/0.25 "
                "72/0.25 69/0.25 64/0.25 60/0.25 57/1"),
    dict(name="fluid_flute_arpeggios", program=73, instrument="Flute", bpm=210, peak_db=-6.0,
         tokens="72/0.25l 76/0.25l 79/0.25l 84/0.25l 88/0.25l 84/0.25l 79/0.25l 76/0.25l "
                "74/0.25l 77/0.25l 81/0.25l 86/0.25l 89/0.25l 86/0.25l 81/0.25l 77/0.25l "
                "76/1 r/0.5 71/0.25 74/0.25 77/0.25 83/0.25 86/0.25 83/0.25 77/0.25 74/0.25 72/1",
         fold="held"),
    dict(name="fluid_violin_arpeggios", program=40, instrument="Violin", bpm=176, peak_db=-6.0,
         tokens="67/0.25 71/0.25 74/0.25 79/0.25 83/0.25 79/0.25 74/0.25 71/0.25 "
                "69/0.25 72/0.25 76/0.25 81/0.25 84/0.25 81/0.25 76/0.25 72/0.25 "
                "71/0.25 74/0.25 77/0.25 83/0.25 86/0.25 83/0.25 77/0.25 74/0.25 72/1"),
    dict(name="fluid_piccolo_arpeggios", program=72, instrument="Piccolo", bpm=230,
         peak_db=-7.0,
         tokens="84/0.25 88/0.25 91/0.25 96/0.25 91/0.25 88/0.25 84/0.25 88/0.25 "
                "86/0.25 89/0.25 93/0.25 98/0.25 93/0.25 89/0.25 86/0.25 89/0.25 "
                "88/0.5 r/0.5 83/0.25 86/0.25 89/0.25 95/0.25 89/0.25 86/0.25 84/1",
         fold="held"),

    # Legato runs: bowed strings and chromatic lines.
    dict(name="fluid_strings_legato", program=48, instrument="String Ensemble 1", bpm=100,
         peak_db=-4.0,
         tokens="62/0.5l 64/0.5l 66/0.5l 67/0.5l 69/0.5l 71/0.5l 73/0.5l 74/1l "
                "73/0.5l 71/0.5l 69/0.5l 67/0.5l 66/2 r/1 "
                "67/0.5l 68/0.5l 69/0.5l 70/0.5l 71/0.5l 72/0.5l 73/0.5l 74/2"),
    dict(name="fluid_violin_chromatic", program=40, instrument="Violin", bpm=120, peak_db=-6.0,
         tokens="76/0.5l 75/0.5l 74/0.5l 73/0.5l 72/0.5l 71/0.5l 70/0.5l 69/1l 71/0.5l "
                "72/0.5l 74/1 r/0.5 79/0.5l 78/0.5l 79/0.5l 80/0.5l 81/0.5l 80/0.5l "
                "81/0.5l 83/0.5l 84/2",
         vibrato=0.15, fold="held"),

    # Piccolo and high flute.
    dict(name="fluid_piccolo_high", program=72, instrument="Piccolo", bpm=132, peak_db=-7.0,
         tokens="86/0.5 88/0.5 91/0.5 93/0.5 96/1 95/0.5 93/0.5 91/1 88/1 r/0.5 "
                "93/0.5s 96/0.5s 98/0.5s 100/1 98/0.5 96/0.5 93/0.5 91/0.5 88/2"),
    dict(name="fluid_flute_high_runs", program=73, instrument="Flute", bpm=144, peak_db=-6.0,
         tokens="84/0.25 86/0.25 88/0.25 89/0.25 91/0.5 89/0.5 88/0.25 86/0.25 84/0.25 83/0.25 "
                "84/1 r/0.5 91/0.5 93/0.5 95/0.5 96/0.5 98/1 96/0.5 93/0.5 91/2",
         fold="held"),

    # Fast high piano runs: notes of about 95 ms.
    dict(name="fluid_piano_high_runs", program=0, instrument="Acoustic Grand Piano", bpm=158,
         peak_db=-4.0,
         tokens="84/0.25 86/0.25 88/0.25 89/0.25 91/0.25 93/0.25 95/0.25 96/0.25 "
                "98/0.25 96/0.25 95/0.25 93/0.25 91/0.25 89/0.25 88/0.25 86/0.25 84/1 r/0.5 "
                "91/0.25 93/0.25 94/0.25 96/0.25 98/0.25 99/0.25 100/0.5 96/1"),
    dict(name="fluid_piano_fast_runs", program=0, instrument="Acoustic Grand Piano", bpm=158,
         peak_db=-4.0,
         tokens="79/0.25 81/0.25 83/0.25 84/0.25 86/0.25 88/0.25 90/0.25 91/0.25 "
                "93/0.25 91/0.25 90/0.25 88/0.25 86/0.25 84/0.25 83/0.25 81/0.25 79/1 r/0.5 "
                "88/0.25 89/0.25 91/0.25 93/0.25 95/0.25 96/0.25 98/0.5 93/1",
         fold="held"),
]
