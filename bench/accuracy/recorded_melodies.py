"""Melodies played from real recordings of single notes (recordings.py).

Orchestral instruments from the tonejs-instruments sample library and the stops
of the GrandOrgue demo organ: bass lines down to E1 (note 28), a reed organ
stop whose low notes have a weak fundamental, bowed and blown legato lines,
chromatic runs and fast arpeggios of 75 to 85 ms notes. `samples` names the
recorded instrument (recordings.SAMPLE_SETS). Half of them are in each fold.
"""

MELODIES = [
    dict(name="rec_contrabass_low", program=43, instrument="Contrabass", bpm=90, peak_db=-3.0,
         tokens="31/1 35/1 38/1 36/1 34/1l 33/1l 31/2 r/1 30/1 33/1 36/1 40/1 "
                "43/1 40/1 38/1 36/1 31/2",
         samples="contrabass"),
    dict(name="rec_bass_electric_low", program=33, instrument="Electric Bass", bpm=110,
         peak_db=-3.0,
         tokens="28/1 31/1 33/1 35/1 36/1 35/1 33/1 31/1 28/0.5 28/0.5 30/1 32/1 "
                "33/1 37/1 40/1 43/1 45/1 40/1 35/1 28/2",
         samples="bass-electric", fold="held"),
    dict(name="rec_tuba_low", program=58, instrument="Tuba", bpm=80, peak_db=-4.0,
         tokens="29/1 34/1 36/1 38/1 39/1 38/1 36/1 34/1 r/1 31/1 33/1 34/2 "
                "41/1 39/1 38/1 34/1 29/2",
         samples="tuba"),
    dict(name="rec_cello_legato", program=42, instrument="Cello", bpm=76, peak_db=-4.0,
         tokens="43/1l 45/1l 47/1l 48/2 50/1l 52/1l 53/1 55/1 r/1 "
                "57/0.5l 56/0.5l 55/0.5l 54/0.5l 53/0.5l 52/0.5l 51/0.5l 50/1 48/1 43/2",
         vibrato=0.15, samples="cello", fold="held"),
    dict(name="rec_violin_runs", program=40, instrument="Violin", bpm=132, peak_db=-6.0,
         tokens="67/0.5l 69/0.5l 71/0.5l 72/0.5l 74/0.5l 76/0.5l 78/0.5l 79/1 r/0.5 "
                "81/0.5 79/0.5 77/0.5 76/0.5 74/0.5 72/0.5 71/1 r/0.5 "
                "84/0.5 86/0.5 88/0.5 91/1 88/0.5 84/0.5 79/2",
         samples="violin"),
    dict(name="rec_flute_high", program=73, instrument="Flute", bpm=120, peak_db=-6.0,
         tokens="72/0.5 76/0.5 79/0.5 84/0.5 88/1 86/0.5 84/0.5 83/1 79/1 r/0.5 "
                "84/0.5s 88/0.5s 91/0.5s 96/1 93/0.5 91/0.5 88/1 84/2",
         samples="flute", fold="held"),
    dict(name="rec_clarinet_arpeggios", program=71, instrument="Clarinet", bpm=180,
         peak_db=-5.0,
         tokens="50/0.25 53/0.25 57/0.25 62/0.25 65/0.25 69/0.25 74/0.25 69/0.25 "
                "65/0.25 62/0.25 57/0.25 53/0.25 50/1 r/0.5 "
                "58/0.25 62/0.25 65/0.25 70/0.25 74/0.25 77/0.25 82/0.25 77/0.25 "
                "74/0.25 70/0.25 65/0.25 62/0.25 58/1",
         samples="clarinet"),
    dict(name="rec_sax_chromatic", program=65, instrument="Saxophone", bpm=110, peak_db=-4.0,
         tokens="60/0.5l 61/0.5l 62/0.5l 63/0.5l 64/0.5l 65/0.5l 66/0.5l 67/1 r/0.5 "
                "72/0.5l 71/0.5l 70/0.5l 69/0.5l 68/0.5l 67/0.5l 66/0.5l 65/1 r/0.5 "
                "58/1l 60/1l 62/1g 65/1 63/2",
         vibrato=0.15, samples="saxophone", fold="held"),
    dict(name="rec_sax_arpeggios", program=65, instrument="Saxophone", bpm=200, peak_db=-5.0,
         tokens="53/0.25 57/0.25 60/0.25 65/0.25 69/0.25 72/0.25 77/0.25 72/0.25 "
                "69/0.25 65/0.25 60/0.25 57/0.25 53/1 r/0.5 "
                "55/0.25 59/0.25 62/0.25 67/0.25 71/0.25 74/0.25 79/0.25 74/0.25 "
                "71/0.25 67/0.25 62/0.25 59/0.25 55/1",
         samples="saxophone"),
    dict(name="rec_trumpet_fanfare", program=56, instrument="Trumpet", bpm=120, peak_db=-3.0,
         tokens="60/0.5 65/0.5 69/0.5 72/1 69/0.5 72/0.5 77/2 r/0.5 "
                "76/0.5 74/0.5 72/0.5 70/0.5 69/0.5 67/0.5 65/1 r/0.5 "
                "72/0.5s 72/0.5s 74/0.5 76/0.5 77/0.5 79/0.5 81/2",
         samples="trumpet", fold="held"),
    dict(name="rec_horn_song", program=60, instrument="French Horn", bpm=80, peak_db=-4.0,
         tokens="48/1l 53/1l 55/1l 57/2 55/1 53/1 52/1 r/1 "
                "50/1 53/1 57/1 60/2 58/1 57/1 53/2",
         samples="french-horn"),
    dict(name="rec_bassoon_low", program=70, instrument="Bassoon", bpm=96, peak_db=-5.0,
         tokens="43/1 45/1 47/1 48/1 50/0.5s 52/0.5s 53/0.5s 55/0.5s 57/1 53/1 "
                "50/1l 48/1l 47/1l 45/1 43/2",
         samples="bassoon", fold="held"),
    dict(name="rec_organ_trompette_bass", program=56, instrument="Organ Trompette 8'", bpm=84,
         peak_db=-4.0,
         tokens="31/1 36/1 38/1 43/1 41/1 38/1 36/1 34/1 r/1 31/1 35/1 38/1 43/2 "
                "42/1 40/1 36/2",
         samples="organ-trompette"),
    dict(name="rec_organ_montre", program=19, instrument="Organ Montre 8'", bpm=96,
         peak_db=-4.0,
         tokens="55/1 60/1 62/1 64/1 65/1l 67/1l 69/2 r/1 72/1 71/1 69/1 67/1 "
                "65/0.5 64/0.5 62/0.5 60/0.5 59/1 60/2",
         samples="organ-montre", fold="held"),
    dict(name="rec_organ_flute_high", program=73, instrument="Organ Flute harmonique 8'",
         bpm=120, peak_db=-5.0,
         tokens="72/0.5 74/0.5 76/0.5 79/0.5 81/1 79/0.5 76/0.5 74/1 72/1 r/0.5 "
                "84/0.5 86/0.5 88/0.5 91/0.5 93/1 91/0.5 88/0.5 86/1 84/2",
         samples="organ-flute", fold="held"),
    dict(name="rec_organ_gamba", program=40, instrument="Organ Gamba 8'", bpm=100,
         peak_db=-5.0,
         tokens="57/1l 59/1l 60/1l 62/1l 64/2 62/1 60/1 r/1 "
                "67/0.5l 66/0.5l 65/0.5l 64/0.5l 63/0.5l 62/0.5l 61/0.5l 60/0.5l 59/2",
         samples="organ-gamba"),
    dict(name="rec_organ_bourdon_pedal", program=19, instrument="Organ Bourdon 8'", bpm=72,
         peak_db=-4.0,
         tokens="36/1 31/1 33/1 35/1 36/1 38/1 40/2 r/1 43/1 41/1 40/1 38/1 36/1 "
                "35/1 31/2",
         samples="organ-bourdon", fold="held"),
]
