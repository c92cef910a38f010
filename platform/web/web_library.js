// The page's side of the web backend (see web_backend.h): keyboard events into the key bytes,
// the pointer over the canvas into the mouse, the canvas painted at the display's refresh, the
// WebAudio output and the game's pauses.
// Linked into the script with --js-library.

mergeInto(LibraryManager.library, {
  $Zarn__deps: ['malloc', 'free'],
  $Zarn: {
    keys: 0,              // address of the key bytes in the game's memory, 0 while closed
    mouse: null,          // while open: the pointer's last place on the page, motion not yet passed on
    canvas: null,
    context: null,
    painting: false,
    activated: false,     // a key was pressed or the canvas clicked: sound may start
    audioRate: 0,         // frames per second of the open output, 0 while closed
    audio: null,          // the running output: context, node, block
    resumes: [],          // the game's pauses waiting for their turn
    channel: null,
    stats: {frames: [], flips: [], firstFlip: 0, firstFlipPainted: 0},

    // KeyboardEvent.code, the key's physical position, to its USB HID usage id (the scancode).
    codes: (function () {
      var t = {
        Enter: 0x28, Escape: 0x29, Backspace: 0x2A, Tab: 0x2B, Space: 0x2C, Minus: 0x2D, Equal: 0x2E,
        BracketLeft: 0x2F, BracketRight: 0x30, Backslash: 0x31, Semicolon: 0x33, Quote: 0x34,
        Backquote: 0x35, Comma: 0x36, Period: 0x37, Slash: 0x38, CapsLock: 0x39,
        PrintScreen: 0x46, ScrollLock: 0x47, Pause: 0x48, Insert: 0x49, Home: 0x4A, PageUp: 0x4B,
        Delete: 0x4C, End: 0x4D, PageDown: 0x4E,
        ArrowRight: 0x4F, ArrowLeft: 0x50, ArrowDown: 0x51, ArrowUp: 0x52,
        NumLock: 0x53, NumpadDivide: 0x54, NumpadMultiply: 0x55, NumpadSubtract: 0x56, NumpadAdd: 0x57,
        NumpadEnter: 0x58, Numpad0: 0x62, NumpadDecimal: 0x63, IntlBackslash: 0x64, ContextMenu: 0x65,
        AudioVolumeMute: 0x7F, AudioVolumeUp: 0x80, AudioVolumeDown: 0x81,
        VolumeMute: 0x7F, VolumeUp: 0x80, VolumeDown: 0x81,
        IntlRo: 0x87, KanaMode: 0x88, IntlYen: 0x89, Convert: 0x8A, NonConvert: 0x8B,
        ControlLeft: 0xE0, ShiftLeft: 0xE1, AltLeft: 0xE2, MetaLeft: 0xE3, OSLeft: 0xE3,
        ControlRight: 0xE4, ShiftRight: 0xE5, AltRight: 0xE6, MetaRight: 0xE7, OSRight: 0xE7
      };
      var i;
      for (i = 0; i < 26; i++) t['Key' + String.fromCharCode(65 + i)] = 0x04 + i;
      for (i = 1; i <= 9; i++) {
        t['Digit' + i] = 0x1D + i;
        t['Numpad' + i] = 0x58 + i;
      }
      t.Digit0 = 0x27;
      for (i = 1; i <= 12; i++) t['F' + i] = 0x39 + i;
      for (i = 13; i <= 15; i++) t['F' + i] = 0x68 + i - 13;
      return t;
    })(),
    // Keys the game uses that would otherwise scroll the page or leave it.
    kept: {ArrowUp: 1, ArrowDown: 1, ArrowLeft: 1, ArrowRight: 1, Space: 1, Escape: 1},

    onKey: function (e) {
      var down = e.type === 'keydown';
      var scancode = Zarn.codes[e.code];
      if (scancode !== undefined && Zarn.keys) HEAPU8[Zarn.keys + scancode] = down ? 1 : 0;
      if (Zarn.kept[e.code]) e.preventDefault();
      if (!down) return;
      Zarn.activate();
      if (e.code === 'KeyF' && !e.repeat) Zarn.toggleFullScreen();
    },
    // No key or button stays down while the page does not have the keyboard.
    releaseKeys: function () {
      if (Zarn.keys) HEAPU8.fill(0, Zarn.keys, Zarn.keys + 256);
      if (Zarn.mouse) Zarn.mouseSend(0);
    },

    // Pointer motion in the game's pixels (the canvas is scaled in the page), with what is left of
    // a pixel kept for the next event, so that slow motion adds up instead of being lost.
    onPointer: function (e) {
      var m = Zarn.mouse;
      if (m.x !== null) {
        var box = Zarn.canvas.getBoundingClientRect();
        if (box.width > 0 && box.height > 0) {
          m.dx += (e.clientX - m.x) * Zarn.canvas.width / box.width;
          m.dy += (e.clientY - m.y) * Zarn.canvas.height / box.height;
        }
      }
      m.x = e.clientX;
      m.y = e.clientY;
      // Held buttons keep the pointer's motion coming when it leaves the canvas.
      if (e.type === 'pointerdown') {
        try {
          Zarn.canvas.setPointerCapture(e.pointerId);
        } catch (ignored) {
          // a pointer the browser no longer knows: its motion simply stops at the canvas's edge
        }
      }
      Zarn.mouseSend(e.buttons);
    },
    onPointerLeave: function () {
      Zarn.mouse.x = Zarn.mouse.y = null;
    },
    // A notch is 100 pixels, 3 lines or a page, and 120 to the game, positive away from the player.
    // With Ctrl held the wheel stays the browser's zoom.
    onWheel: function (e) {
      if (e.ctrlKey) return;
      e.preventDefault();
      Zarn.mouse.dz -= e.deltaY * (e.deltaMode === 1 ? 40 : e.deltaMode === 2 ? 120 : 1.2);
      Zarn.mouseSend(Zarn.mouse.buttons);
    },
    // The right button is the game's, not the page's menu.
    onContextMenu: function (e) {
      e.preventDefault();
    },
    mouseSend: function (buttons) {
      var m = Zarn.mouse;
      var whole = function (v) { return Math.max(-2147483648, Math.min(2147483647, Math.trunc(v))); };
      var dx = whole(m.dx), dy = whole(m.dy), dz = whole(m.dz);
      m.dx -= dx;
      m.dy -= dy;
      m.dz -= dz;
      m.buttons = buttons & 15;
      _web_mouse_event(dx, dy, dz, m.buttons);
    },
    onVisibility: function () {
      if (document.hidden) Zarn.releaseKeys();
    },
    toggleFullScreen: function () {
      if (document.fullscreenElement) {
        if (document.exitFullscreen) document.exitFullscreen().catch(function () {});
      } else if (document.documentElement.requestFullscreen) {
        document.documentElement.requestFullscreen().catch(function () {});
      }
    },
    activate: function () {
      if (!Zarn.activated) {
        Zarn.activated = true;
        if (Module['onActivated']) Module['onActivated']();
      }
      if (Zarn.audio) {
        if (Zarn.audio.context.state === 'suspended') Zarn.audio.context.resume();
      } else {
        Zarn.startAudio();
      }
    },

    paint: function () {
      if (!Zarn.painting) return;
      requestAnimationFrame(Zarn.paint);
      var at = _web_paint();
      if (!at) return;
      var w = Zarn.canvas.width, h = Zarn.canvas.height;
      Zarn.context.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, at, w * h * 4), w, h), 0, 0);
      if (Zarn.stats.firstFlip && !Zarn.stats.firstFlipPainted) Zarn.stats.firstFlipPainted = performance.now();
    },

    startAudio: function () {
      if (Zarn.audio || !Zarn.audioRate || !Zarn.activated) return;
      var AudioContextClass = window.AudioContext || window.webkitAudioContext;
      var context;
      try {
        context = new AudioContextClass({sampleRate: Zarn.audioRate, latencyHint: 'interactive'});
      } catch (e) {
        err('zarn-tennis: the sound cannot start: ' + e);
        return;
      }
      var frames = 1024;
      var block = _malloc(frames * 4);
      var node = context.createScriptProcessor(frames, 0, 2);
      node.onaudioprocess = function (e) {
        _web_audio_fill(block, frames);
        var samples = HEAP16, at = block >> 1;
        var left = e.outputBuffer.getChannelData(0), right = e.outputBuffer.getChannelData(1);
        for (var i = 0; i < frames; i++) {
          left[i] = samples[at + 2 * i] / 32768;
          right[i] = samples[at + 2 * i + 1] / 32768;
        }
      };
      node.connect(context.destination);
      Zarn.audio = {context: context, node: node, block: block};
      if (Module['onAudioStarted']) Module['onAudioStarted'](context, node);
      context.resume();
    },
    stopAudio: function () {
      var audio = Zarn.audio;
      if (!audio) return;
      audio.node.onaudioprocess = null;
      audio.node.disconnect();
      audio.context.close();
      _free(audio.block);
      Zarn.audio = null;
    },

    // The game resumes in a message task of its own: never nested in a timer, so a zero pause
    // is not stretched to a nested timer's minimum.
    resumeSoon: function (wakeUp) {
      if (!Zarn.channel) {
        Zarn.channel = new MessageChannel();
        Zarn.channel.port1.onmessage = function () {
          var next = Zarn.resumes.shift();
          if (next) next();
        };
      }
      Zarn.resumes.push(wakeUp);
      Zarn.channel.port2.postMessage(0);
    },
    note: function (list, at) {
      if (list.length >= 4096) list.splice(0, 2048);
      list.push(at);
    }
  },

  web_js_window_open__deps: ['$Zarn'],
  web_js_window_open: function (keys, title) {
    var canvas = Module['canvas'] || document.querySelector('canvas');
    var context = canvas && canvas.getContext('2d', {alpha: false});
    if (!context) return 0;
    Zarn.canvas = canvas;
    Zarn.context = context;
    Zarn.keys = keys;
    document.title = UTF8ToString(title);
    window.addEventListener('keydown', Zarn.onKey);
    window.addEventListener('keyup', Zarn.onKey);
    window.addEventListener('blur', Zarn.releaseKeys);
    document.addEventListener('visibilitychange', Zarn.onVisibility);
    canvas.addEventListener('pointerdown', Zarn.activate);
    Zarn.mouse = {x: null, y: null, dx: 0, dy: 0, dz: 0, buttons: 0};
    ['pointerdown', 'pointermove', 'pointerup', 'pointercancel'].forEach(function (kind) {
      canvas.addEventListener(kind, Zarn.onPointer);
    });
    canvas.addEventListener('pointerleave', Zarn.onPointerLeave);
    canvas.addEventListener('wheel', Zarn.onWheel, {passive: false});
    canvas.addEventListener('contextmenu', Zarn.onContextMenu);
    Module['zarnStats'] = Zarn.stats;
    Zarn.painting = true;
    requestAnimationFrame(Zarn.paint);
    return 1;
  },

  web_js_window_close__deps: ['$Zarn'],
  web_js_window_close: function () {
    Zarn.releaseKeys();
    window.removeEventListener('keydown', Zarn.onKey);
    window.removeEventListener('keyup', Zarn.onKey);
    window.removeEventListener('blur', Zarn.releaseKeys);
    document.removeEventListener('visibilitychange', Zarn.onVisibility);
    var canvas = Zarn.canvas;
    if (canvas) {
      canvas.removeEventListener('pointerdown', Zarn.activate);
      ['pointerdown', 'pointermove', 'pointerup', 'pointercancel'].forEach(function (kind) {
        canvas.removeEventListener(kind, Zarn.onPointer);
      });
      canvas.removeEventListener('pointerleave', Zarn.onPointerLeave);
      canvas.removeEventListener('wheel', Zarn.onWheel);
      canvas.removeEventListener('contextmenu', Zarn.onContextMenu);
    }
    Zarn.mouse = null;
    Zarn.keys = 0;
    Zarn.painting = false;
    if (Module['onWindowClosed']) Module['onWindowClosed']();
  },

  web_js_set_mode__deps: ['$Zarn'],
  web_js_set_mode: function (width, height) {
    Zarn.canvas.width = width;
    Zarn.canvas.height = height;
  },

  web_js_cursor__deps: ['$Zarn'],
  web_js_cursor: function (shown) {
    Zarn.canvas.style.cursor = shown ? '' : 'none';
  },

  web_js_note__deps: ['$Zarn'],
  web_js_note: function (kind, at) {
    if (kind === 1) {
      if (!Zarn.stats.firstFlip) Zarn.stats.firstFlip = at;
      Zarn.note(Zarn.stats.flips, at);
    } else {
      Zarn.note(Zarn.stats.frames, at);
    }
  },

  web_js_audio_open__deps: ['$Zarn'],
  web_js_audio_open: function (rate) {
    if (!(window.AudioContext || window.webkitAudioContext)) return 0;
    Zarn.audioRate = rate;
    Zarn.startAudio();
    return 1;
  },

  web_js_audio_close__deps: ['$Zarn'],
  web_js_audio_close: function () {
    Zarn.stopAudio();
    Zarn.audioRate = 0;
  },

  web_js_pause__deps: ['$Zarn'],
  web_js_pause: function (milliseconds) {
    return Asyncify.handleSleep(function (wakeUp) {
      if (milliseconds > 0) {
        setTimeout(function () { Zarn.resumeSoon(wakeUp); }, milliseconds);
      } else {
        Zarn.resumeSoon(wakeUp);
      }
    });
  }
});
