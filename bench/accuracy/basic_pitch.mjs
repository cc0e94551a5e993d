// Spotify's Basic Pitch on a list of recordings, in one Node.js process: the
// model is loaded once, then each file is resampled to 22050 Hz mono (ffmpeg),
// run through the model on TensorFlow.js's WebAssembly backend and turned into
// notes with the library's own helpers and default thresholds (onset 0.5,
// frame 0.3, shortest note 11 frames = 128 ms, as Basic Pitch's own command
// line has them). Notes are written without pitch bends: plain keys.
//
//   node basic_pitch.mjs NPM_PREFIX IN.wav[=OUT.json]...
//
// NPM_PREFIX is the folder whose node_modules holds @spotify/basic-pitch,
// @tensorflow/tfjs and @tensorflow/tfjs-backend-wasm (basicpitch.py installs
// them). Each OUT.json (default: IN.wav with .json) gets
//   {"wav", "seconds", "notes": [{"onset", "offset", "key", "amplitude"}]}
// where seconds is the time of that file alone (resampling, model, notes).
// The time of the start (Node.js, TensorFlow.js, the model) goes to standard error.

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

const SAMPLE_RATE = 22050;
const ONSET_THRESHOLD = 0.5;
const FRAME_THRESHOLD = 0.3;
const MIN_NOTE_FRAMES = 11;

const started = performance.now();
const [prefix, ...inputs] = process.argv.slice(2);
if (!prefix || inputs.length === 0) {
  console.error('usage: node basic_pitch.mjs NPM_PREFIX IN.wav[=OUT.json]...');
  process.exit(2);
}
const require = createRequire(path.join(path.resolve(prefix), 'package.json'));
const tf = require('@tensorflow/tfjs');
require('@tensorflow/tfjs-backend-wasm');
const basicPitch = require('@spotify/basic-pitch');

// The graph's Fill nodes carry no dtype, which the WebAssembly backend of
// TensorFlow.js 3.21 does not default; the model computes in float32.
const fill = tf.getKernel('Fill', 'wasm');
tf.unregisterKernel('Fill', 'wasm');
tf.registerKernel({
  ...fill,
  kernelFunc: (args) => fill.kernelFunc({...args, attrs: {...args.attrs, dtype: args.attrs.dtype || 'float32'}}),
});

async function loadModel() {
  const folder = path.join(path.dirname(require.resolve('@spotify/basic-pitch/package.json')), 'model');
  const json = JSON.parse(fs.readFileSync(path.join(folder, 'model.json'), 'utf8'));
  const manifest = json.weightsManifest;
  const buffers = manifest.flatMap((group) => group.paths.map((p) => fs.readFileSync(path.join(folder, p))));
  const weights = Buffer.concat(buffers);
  return tf.loadGraphModel(tf.io.fromMemory({
    modelTopology: json.modelTopology,
    weightSpecs: manifest.flatMap((group) => group.weights),
    weightData: weights.buffer.slice(weights.byteOffset, weights.byteOffset + weights.byteLength),
    format: json.format,
    generatedBy: json.generatedBy,
    convertedBy: json.convertedBy,
  }));
}

function readMono22050(wav) {
  const result = spawnSync('ffmpeg', ['-nostdin', '-loglevel', 'error', '-i', wav, '-ac', '1',
    '-ar', String(SAMPLE_RATE), '-f', 'f32le', '-c:a', 'pcm_f32le', '-'], {maxBuffer: 2 ** 31});
  if (result.status !== 0) {
    throw new Error(`ffmpeg cannot read ${wav}: ${String(result.stderr).trim()}`);
  }
  const raw = result.stdout;
  return new Float32Array(raw.buffer, raw.byteOffset, raw.byteLength / 4).slice();
}

async function transcribe(model, wav) {
  const audio = readMono22050(wav);
  const frames = [];
  const onsets = [];
  const contours = [];
  // Tensors made for one file are freed before the next.
  tf.engine().startScope();
  try {
    await new basicPitch.BasicPitch(model).evaluateModel(audio, (f, o, c) => {
      frames.push(...f);
      onsets.push(...o);
      contours.push(...c);
    }, () => {});
  } finally {
    tf.engine().endScope();
  }
  const notes = basicPitch.noteFramesToTime(basicPitch.addPitchBendsToNoteEvents(contours,
    basicPitch.outputToNotesPoly(frames, onsets, ONSET_THRESHOLD, FRAME_THRESHOLD, MIN_NOTE_FRAMES)));
  return notes
    .map((n) => ({onset: n.startTimeSeconds, offset: n.startTimeSeconds + n.durationSeconds,
      key: n.pitchMidi, amplitude: n.amplitude}))
    .sort((a, b) => a.onset - b.onset || a.key - b.key);
}

await tf.setBackend('wasm');
await tf.ready();
const model = await loadModel();
console.error(`basic_pitch: TensorFlow.js ${tf.version.tfjs} (${tf.getBackend()}), model ready in ` +
  `${((performance.now() - started) / 1000).toFixed(2)} s`);

for (const input of inputs) {
  const split = input.lastIndexOf('=');
  const wav = split > 0 ? input.slice(0, split) : input;
  const out = split > 0 ? input.slice(split + 1) : wav.replace(/\.wav$/i, '') + '.json';
  const start = performance.now();
  const notes = await transcribe(model, wav);
  const seconds = (performance.now() - start) / 1000;
  fs.writeFileSync(`${out}.part`, JSON.stringify({wav, seconds, notes}));
  fs.renameSync(`${out}.part`, out);
}
