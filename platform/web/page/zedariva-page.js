// The page around the presentation: fetches the data into the program's
// in-memory files, sets up the sound (WebAudio at 44,100 Hz, the worklet
// that plays what the program renders), starts the program, and offers its
// controls as buttons. ?autoplay starts at once where the browser allows
// sound without a click; ?start=N starts at order N; ?capture=FPS (with
// &start=N and &frames=M) renders on the capture clock without sound and
// lists each frame's hash in <pre id="capture">.
'use strict';

(function () {
  const query = new URLSearchParams(location.search);
  const element = (id) => document.getElementById(id);
  const overlay = element('overlay');
  const message = element('message');
  const progress = element('progress');
  let lastLine = '';
  let state = 'loading';

  // window.zedariva: what the page knows, for people and for tests.
  const page = {
    state: () => state,
    position: () => (Module._zedariva_order && state !== 'loading') ? {
      order: Module._zedariva_order(), row: Module._zedariva_row(),
      paused: Module._zedariva_paused() !== 0, seconds: Module._zedariva_music_seconds(),
    } : null,
  };
  window.zedariva = page;

  function show(text, isError) {
    overlay.hidden = false;
    message.hidden = false;
    message.textContent = text;
    message.classList.toggle('error', !!isError);
    if (isError) {
      state = 'error';
      console.error('zedariva: ' + text);
    }
  }

  function fail(text) {
    progress.hidden = true;
    element('start').hidden = true;
    show(text, true);
  }

  if (location.protocol === 'file:') {
    fail('Browsers do not let a page opened from a file fetch its data: serve this folder with any web ' +
         'server (for example "python3 -m http.server" in it) and open http://127.0.0.1:8000/');
    return;
  }
  if (typeof WebAssembly !== 'object') {
    fail('This browser does not run WebAssembly, which the presentation needs.');
    return;
  }
  const capturing = query.has('capture');
  const AudioContextClass = window.AudioContext || window.webkitAudioContext;
  if (!capturing && (!AudioContextClass || !AudioContextClass.prototype ||
                     !('audioWorklet' in AudioContextClass.prototype))) {
    fail('This browser has no WebAudio with audio worklets, which the presentation\'s music needs.');
    return;
  }

  // Both files, with one progress bar over their bytes.
  async function fetchAll(names) {
    const sizes = {}, loaded = {};
    const update = () => {
      const total = Object.values(sizes).reduce((a, b) => a + b, 0);
      const got = Object.values(loaded).reduce((a, b) => a + b, 0);
      if (total > 0) progress.value = got / total;
    };
    return Promise.all(names.map(async (name) => {
      const response = await fetch(name);
      // A file the server lacks is left out: the program says what is missing, as it does natively.
      if (response.status === 404) return null;
      if (!response.ok) throw new Error(name + ': the server answered ' + response.status);
      sizes[name] = Number(response.headers.get('Content-Length')) || 0;
      loaded[name] = 0;
      const reader = response.body.getReader();
      const parts = [];
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        parts.push(value);
        loaded[name] += value.length;
        update();
      }
      const bytes = new Uint8Array(loaded[name]);
      let at = 0;
      for (const part of parts) { bytes.set(part, at); at += part.length; }
      return bytes;
    }));
  }

  // The program's standard output: the console, and the last line kept for errors.
  const Module = window.Module = {
    print: (text) => { lastLine = text; console.log(text); },
    printErr: (text) => { lastLine = text; console.warn(text); },
    onAbort: (what) => fail('The program stopped: ' + what),
  };

  const runtimeReady = new Promise((resolve) => { Module.onRuntimeInitialized = resolve; });
  const script = document.createElement('script');
  script.src = 'zedariva.js';
  script.onerror = () => fail('zedariva.js: not found on the server');
  document.body.appendChild(script);

  // Runs main; a start-up that fails gives the program's own one-line message.
  function runMain(args) {
    let code;
    try {
      code = Module.callMain(args);
    } catch (e) {
      if (e && e.name === 'ExitStatus') code = e.status; else throw e;
    }
    if (code !== 0 && code !== undefined) {
      fail(lastLine || ('The program ended with exit code ' + code));
      return false;
    }
    return true;
  }

  function startArguments() {
    const args = [];
    const start = query.get('start');
    if (start !== null) args.push('--start=' + start);
    return args;
  }

  async function runCapture() {
    const args = ['--capture=/capture.txt', '--fps=' + query.get('capture')].concat(startArguments());
    if (query.has('frames')) args.push('--frames=' + query.get('frames'));
    Module.onFramesDone = () => {
      const list = element('capture');
      list.textContent = Module.FS.readFile('/capture.txt', { encoding: 'utf8' });
      list.hidden = false;
      state = 'ended';
      document.title = 'capture done';
    };
    show('capturing');
    state = 'capturing';
    runMain(args);
  }

  async function makeSound() {
    const context = new AudioContextClass({ sampleRate: 44100, latencyHint: 'interactive' });
    await context.audioWorklet.addModule('sound-worklet.js');
    const node = new AudioWorkletNode(context, 'zedariva-sound', { numberOfInputs: 0, outputChannelCount: [2] });
    const gain = context.createGain();
    node.connect(gain).connect(context.destination);
    return { context, node, gain };
  }

  async function runLive() {
    const audio = Module.zdAudio = await makeSound();
    Module.onFramesDone = () => {
      state = 'ended';
      overlay.hidden = false;
      message.hidden = true;
      element('again').hidden = false;
    };
    if (!runMain(['--desktop'].concat(startArguments()))) return;
    state = 'playing';
    const startNow = () => {
      audio.context.resume();
      Module._zedariva_resume();
      overlay.hidden = true;
      element('start').hidden = true;
      state = 'playing';
    };
    // Sound may start only after a click or a key, unless the browser allows it.
    let allowed = false;
    if (query.has('autoplay')) {
      await Promise.race([audio.context.resume(), new Promise((r) => setTimeout(r, 300))]);
      allowed = audio.context.state === 'running';
    }
    if (allowed) {
      overlay.hidden = true;
    } else {
      Module._zedariva_pause();
      state = 'waiting';
      progress.hidden = true;
      message.hidden = true;
      element('start').hidden = false;
      const once = (e) => {
        window.removeEventListener('keydown', once, true);
        element('stage').removeEventListener('click', once);
        e.stopPropagation();  // the key that starts is not also a key of the presentation
        e.preventDefault();
        startNow();
      };
      window.addEventListener('keydown', once, true);
      element('stage').addEventListener('click', once);
    }
    element('again').addEventListener('click', () => {
      element('again').hidden = true;
      overlay.hidden = true;
      state = 'playing';
      audio.context.resume();
      Module._zedariva_play_again(Number(query.get('start') || 0));
    });
    wireControls(audio);
  }

  function wireControls(audio) {
    const call = (name) => () => { if (state === 'playing') Module[name](); };
    element('play').addEventListener('click', call('_zedariva_toggle_pause'));
    element('previous').addEventListener('click', call('_zedariva_previous_order'));
    element('next').addEventListener('click', call('_zedariva_next_order'));
    element('restart').addEventListener('click', () => { if (state === 'playing') Module._zedariva_seek(0); });
    const stage = element('stage');
    const fullScreen = () => {
      if (document.fullscreenElement) document.exitFullscreen(); else stage.requestFullscreen();
    };
    element('fullscreen').addEventListener('click', fullScreen);
    stage.addEventListener('dblclick', fullScreen);
    element('volume').addEventListener('input', (e) => { audio.gain.gain.value = e.target.value / 100; });
    // "S" writes zedariva.tga in the program's files; the page hands it over as a download.
    let shot = 0;
    document.addEventListener('keydown', (e) => {
      if (e.key !== 'S' || state !== 'playing') return;
      setTimeout(() => {
        let stat;
        try { stat = Module.FS.stat('/zedariva.tga'); } catch (_) { return; }
        if (stat.mtime.getTime() === shot) return;
        shot = stat.mtime.getTime();
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([Module.FS.readFile('/zedariva.tga')], { type: 'image/x-tga' }));
        link.download = 'zedariva.tga';
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 1000);
      }, 100);
    });
    const position = element('position');
    const play = element('play');
    const tick = () => {
      const p = page.position();
      if (p) {
        position.textContent = 'order ' + p.order + ', row ' + p.row;
        play.textContent = p.paused ? 'play' : 'pause';
      }
      requestAnimationFrame(tick);
    };
    requestAnimationFrame(tick);
  }

  (async () => {
    try {
      const [data, music] = await fetchAll(['data.fil', 'tazutune.it']);
      await runtimeReady;
      if (data) Module.FS.writeFile('/data.fil', data);
      if (music) Module.FS.writeFile('/tazutune.it', music);
      progress.hidden = true;
      if (capturing) await runCapture(); else await runLive();
    } catch (e) {
      fail(e && e.message ? e.message : String(e));
    }
  })();
})();
