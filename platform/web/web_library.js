// The page's side of the web backend (see web_backend.h): keyboard events, the page's touch
// controls and gamepads into the key bytes, the pointer over the canvas into the mouse, the canvas
// painted at the display's refresh, the WebAudio output and the game's pauses.
// Linked into the script with --js-library.

mergeInto(LibraryManager.library, {
  $Zarn__deps: ['malloc', 'free'],
  $Zarn: {
    keys: 0,              // address of the key bytes in the game's memory, 0 while closed
    holders: null,        // while open: for each scancode, how many keys, fingers and pad buttons hold it
    typed: {},            // KeyboardEvent.code of the keyboard's keys held now
    touches: {},          // pointerId of a finger on a control: the control's code
    fingers: {},          // pointerId of every finger down on the page
    pads: [],             // the gamepads seen: index, racquet slot, the codes each holds
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

    // Every source of keys presses through here: a scancode is down while anything holds it.
    hold: function (code, down) {
      var scancode = Zarn.codes[code];
      if (scancode === undefined || !Zarn.keys) return;
      var n = Math.max(0, Zarn.holders[scancode] + (down ? 1 : -1));
      Zarn.holders[scancode] = n;
      HEAPU8[Zarn.keys + scancode] = n ? 1 : 0;
    },
    onKey: function (e) {
      var down = e.type === 'keydown';
      if (down !== !!Zarn.typed[e.code]) {
        if (down) Zarn.typed[e.code] = 1;
        else delete Zarn.typed[e.code];
        Zarn.hold(e.code, down);
      }
      if (Zarn.kept[e.code]) e.preventDefault();
      // While Meta is held macOS browsers send no key's release: its release lets go of them all.
      if (!down && (e.code === 'MetaLeft' || e.code === 'MetaRight' || e.code === 'OSLeft' || e.code === 'OSRight')) {
        for (var code in Zarn.typed) Zarn.hold(code, false);
        Zarn.typed = {};
      }
      if (!down) return;
      Zarn.activate();
      if (e.code === 'KeyF' && !e.repeat) Zarn.toggleFullScreen();
    },
    // No key or button stays down while the page does not have the keyboard; a pad's buttons
    // held then count again only once let go.
    releaseKeys: function () {
      if (Zarn.keys) {
        HEAPU8.fill(0, Zarn.keys, Zarn.keys + 256);
        Zarn.holders.fill(0);
      }
      Zarn.typed = {};
      Zarn.touches = {};
      Zarn.showHeld();
      Zarn.pads.forEach(function (pad) {
        for (var code in pad.held) pad.held[code] = 'ignored';
      });
      if (Zarn.mouse) Zarn.mouseSend(0);
    },

    // The page's touch controls: each element with a data-key holds that key while a finger is
    // on it; a finger sliding off lets go, one sliding onto another control presses that one.
    // The sound starts when a finger lifts, which browsers count as the player's gesture.
    onTouch: function (e) {
      if (e.pointerType === 'mouse') return;
      var id = e.pointerId, kind = e.type;
      var target = e.target && e.target.closest ? e.target.closest('[data-key]') : null;
      var had = Zarn.touches[id] || null, now = had;
      if (kind === 'pointerdown') {
        Zarn.fingers[id] = 1;
        // A finger is held by the element it touched first: let go, so that leaving it is seen.
        if (target && target.hasPointerCapture(id)) target.releasePointerCapture(id);
        now = target ? target.getAttribute('data-key') : null;
      } else if (kind === 'pointerup' || kind === 'pointercancel') {
        delete Zarn.fingers[id];
        now = null;
      } else if (!Zarn.fingers[id] || !target) {
        return;
      } else if (kind === 'pointerover') {
        now = target.getAttribute('data-key');
      } else if (!target.contains(e.relatedTarget)) {
        now = null;
      }
      if (target && e.cancelable) e.preventDefault();
      if (had !== now) {
        if (had) Zarn.hold(had, false);
        if (now) Zarn.hold(now, true);
        if (now) Zarn.touches[id] = now;
        else delete Zarn.touches[id];
        Zarn.showHeld();
      }
      if (kind === 'pointerup') Zarn.activate();
    },
    // A click starts the sound; a touch does when it lifts (onTouch).
    onPointerActivate: function (e) {
      if (e.pointerType === 'mouse') Zarn.activate();
    },
    showHeld: function () {
      var held = {};
      for (var id in Zarn.touches) held[Zarn.touches[id]] = 1;
      document.querySelectorAll('[data-key]').forEach(function (el) {
        el.classList.toggle('held', !!held[el.getAttribute('data-key')]);
      });
    },
    touchEvents: ['pointerdown', 'pointerup', 'pointercancel', 'pointerover', 'pointerout'],

    // Gamepads with the standard mapping, read once a display refresh. The first pad seen plays
    // the left racquet (up and down press A and Z), the second the right one (the Up and Down
    // arrows); on any pad the d-pad's left and right press the arrows, Start presses Enter and P
    // (Enter acts only in the menus, P only in play), the south button Space, Back Escape.
    padButtons: [[0, 'Space'], [8, 'Escape'], [9, 'Enter'], [9, 'KeyP'], [14, 'ArrowLeft'], [15, 'ArrowRight']],
    pollPads: function () {
      var list = [];
      try {
        list = navigator.getGamepads ? navigator.getGamepads() : [];
      } catch (ignored) {
        // a page the browser keeps from its gamepads: there are none
      }
      var seen = {};
      for (var i = 0; i < list.length; i++) {
        var g = list[i];
        if (!g || !g.connected || g.mapping !== 'standard') continue;
        seen[g.index] = g;
      }
      // Pads gone let go of what they held and free their slot.
      Zarn.pads = Zarn.pads.filter(function (pad) {
        if (seen[pad.index]) return true;
        for (var code in pad.held) if (pad.held[code] === true) Zarn.hold(code, false);
        return false;
      });
      for (var index in seen) {
        var pad = null;
        Zarn.pads.forEach(function (p) { if (p.index == index) pad = p; });
        if (!pad) {
          var slot = 0;
          while (Zarn.pads.some(function (p) { return p.slot === slot; })) slot++;
          pad = {index: +index, slot: slot, held: {}};
          Zarn.pads.push(pad);
        }
        Zarn.readPad(pad, seen[index]);
      }
    },
    readPad: function (pad, g) {
      var pressed = function (b) { return !!(g.buttons[b] && g.buttons[b].pressed); };
      var stick = g.axes.length > 1 ? g.axes[1] : 0;
      var want = {};
      Zarn.padButtons.forEach(function (pair) { if (pressed(pair[0])) want[pair[1]] = 1; });
      var upDown = pad.slot === 0 ? ['KeyA', 'KeyZ'] : pad.slot === 1 ? ['ArrowUp', 'ArrowDown'] : null;
      if (upDown) {
        if (pressed(12) || stick < -0.366) want[upDown[0]] = 1;
        if (pressed(13) || stick > 0.366) want[upDown[1]] = 1;
      }
      var code;
      for (code in pad.held) {
        if (want[code]) continue;
        if (pad.held[code] === true) Zarn.hold(code, false);
        delete pad.held[code];
      }
      for (code in want) {
        if (pad.held[code]) continue;
        pad.held[code] = true;
        Zarn.hold(code, true);
      }
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
        Module['zarnActivated'] = true;
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
      Zarn.pollPads();
      if (Zarn.audio) Zarn.audio.feed();
      var at = _web_paint();
      if (!at) return;
      var w = Zarn.canvas.width, h = Zarn.canvas.height;
      Zarn.context.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, at, w * h * 4), w, h), 0, 0);
      if (Zarn.stats.firstFlip && !Zarn.stats.firstFlipPainted) {
        Zarn.stats.firstFlipPainted = performance.now();
        if (Module['onFirstPicture']) Module['onFirstPicture']();
      }
    },

    // The mixer's output as the context's two channels, from the mixer's rate to the context's
    // where the browser would not open the context at the mixer's (linear, as the mixer resamples).
    makeSource: function (rate) {
      var chunk = 512, block = _malloc(chunk * 4);
      var step = Zarn.audioRate / rate, position = 0, have = 0, at = 0;
      var last = [0, 0], next = [0, 0];
      var take = function () {
        if (at >= have) {
          _web_audio_fill(block, chunk);
          have = chunk;
          at = 0;
        }
        var i = (block >> 1) + 2 * at++;
        last = next;
        next = [HEAP16[i] / 32768, HEAP16[i + 1] / 32768];
      };
      return {
        block: block,
        fill: function (left, right, from, frames) {
          for (var n = 0; n < frames; n++) {
            while (position >= 0) {
              take();
              position -= 1;
            }
            var t = position + 1;
            left[from + n] = last[0] + (next[0] - last[0]) * t;
            right[from + n] = last[1] + (next[1] - last[1]) * t;
            position += step;
          }
        }
      };
    },
    // Played through an AudioWorklet: the page feeds it ahead of what it has played, a little
    // at every paint and timer, as the worklet cannot call into the game.
    worklet: [
      'class ZarnOutput extends AudioWorkletProcessor {',
      '  constructor() {',
      '    super();',
      '    this.queue = []; this.at = 0; this.played = 0; this.told = 0;',
      '    this.port.onmessage = (e) => this.queue.push(e.data);',
      '  }',
      '  process(inputs, outputs) {',
      '    const left = outputs[0][0], right = outputs[0][1] || outputs[0][0];',
      '    let n = 0;',
      '    while (n < left.length && this.queue.length) {',
      '      const b = this.queue[0], count = Math.min(left.length - n, b.left.length - this.at);',
      '      left.set(b.left.subarray(this.at, this.at + count), n);',
      '      right.set(b.right.subarray(this.at, this.at + count), n);',
      '      n += count; this.at += count;',
      '      if (this.at === b.left.length) { this.queue.shift(); this.at = 0; }',
      '    }',
      '    left.fill(0, n); right.fill(0, n);',
      '    this.played += n;',
      '    if (this.played - this.told >= 1024) { this.told = this.played; this.port.postMessage(this.played); }',
      '    return true;',
      '  }',
      '}',
      "registerProcessor('zarn-output', ZarnOutput);"
    ].join('\n'),
    startAudio: function () {
      if (Zarn.audio || !Zarn.audioRate || !Zarn.activated) return;
      var AudioContextClass = window.AudioContext || window.webkitAudioContext;
      var context;
      try {
        context = new AudioContextClass({sampleRate: Zarn.audioRate, latencyHint: 'interactive'});
      } catch (e) {
        // Browsers that will not open at a chosen rate: the context's own, resampled to.
        try {
          context = new AudioContextClass({latencyHint: 'interactive'});
        } catch (e2) {
          err('zarn-tennis: the sound cannot start: ' + e2);
          return;
        }
      }
      var source = Zarn.makeSource(context.sampleRate);
      var audio = {context: context, node: null, source: source, feed: function () {}, timer: 0};
      Zarn.audio = audio;
      var started = function (node) {
        node.connect(context.destination);
        audio.node = node;
        if (Module['onAudioStarted']) Module['onAudioStarted'](context, node);
      };
      if (window.isSecureContext && context.audioWorklet && window.AudioWorkletNode) {
        var url = URL.createObjectURL(new Blob([Zarn.worklet], {type: 'text/javascript'}));
        context.audioWorklet.addModule(url).then(function () {
          URL.revokeObjectURL(url);
          if (Zarn.audio !== audio) return;
          var node = new AudioWorkletNode(context, 'zarn-output', {numberOfInputs: 0, outputChannelCount: [2]});
          var played = 0, written = 0, lead = Math.round(context.sampleRate * 0.06), chunk = 512;
          node.port.onmessage = function (e) { played = e.data; };
          audio.feed = function () {
            // Played is told late: what the worklet holds is at most written - played.
            while (written - played < lead) {
              var left = new Float32Array(chunk), right = new Float32Array(chunk);
              source.fill(left, right, 0, chunk);
              node.port.postMessage({left: left, right: right}, [left.buffer, right.buffer]);
              written += chunk;
            }
          };
          audio.feed();
          audio.timer = setInterval(audio.feed, 10);
          started(node);
        }, function (e) {
          err('zarn-tennis: the sound cannot start: ' + e);
        });
      } else {
        var frames = 1024;
        var node = context.createScriptProcessor(frames, 0, 2);
        node.onaudioprocess = function (e) {
          source.fill(e.outputBuffer.getChannelData(0), e.outputBuffer.getChannelData(1), 0, frames);
        };
        started(node);
      }
      context.resume();
    },
    stopAudio: function () {
      var audio = Zarn.audio;
      if (!audio) return;
      clearInterval(audio.timer);
      if (audio.node) {
        audio.node.onaudioprocess = null;
        audio.node.disconnect();
      }
      audio.context.close();
      _free(audio.source.block);
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
    Zarn.holders = new Int32Array(256);
    // A page that starts the program again keeps its player's gesture: the sound may start.
    if (Module['zarnActivated']) Zarn.activated = true;
    document.title = UTF8ToString(title);
    Zarn.touchEvents.forEach(function (kind) {
      document.addEventListener(kind, Zarn.onTouch, {passive: false});
    });
    window.addEventListener('keydown', Zarn.onKey);
    window.addEventListener('keyup', Zarn.onKey);
    window.addEventListener('blur', Zarn.releaseKeys);
    document.addEventListener('visibilitychange', Zarn.onVisibility);
    canvas.addEventListener('pointerdown', Zarn.onPointerActivate);
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
    Zarn.pads = [];
    Zarn.fingers = {};
    Zarn.touchEvents.forEach(function (kind) {
      document.removeEventListener(kind, Zarn.onTouch);
    });
    window.removeEventListener('keydown', Zarn.onKey);
    window.removeEventListener('keyup', Zarn.onKey);
    window.removeEventListener('blur', Zarn.releaseKeys);
    document.removeEventListener('visibilitychange', Zarn.onVisibility);
    var canvas = Zarn.canvas;
    if (canvas) {
      canvas.removeEventListener('pointerdown', Zarn.onPointerActivate);
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
