// Sound's operations for the call-sequence fuzzer: the conversion of file samples, the sound
// table, and the platform's audio and sound buffers beneath it.
#include "api.h"

#include <cstdlib>
#include <cstring>

#include "fuzz_api_files.h"
#include "platform/status.h"
#include "sound/pcm_convert.h"

namespace {

// ---- samples ----

// The conversion of file samples into the buffers' 8-bit mono, for layouts pcm_layout gives.
void op_pcm_convert(Input& in) {
    const uint32_t channels = in.pick(2) ? static_cast<uint32_t>(in.pick(8)) + 1 : in.uvalue();
    const uint32_t bits = in.pick(2) ? static_cast<uint32_t>(in.pick(33)) : in.uvalue();
    PcmLayout layout;
    if (!pcm_layout(channels, bits, &layout) || layout.channels > 8) return;
    const uint32_t frames = static_cast<uint32_t>(in.pick(33));
    uint8_t source[8 * 4 * 32];
    uint8_t mono[32];
    for (uint32_t i = 0; i < frames * pcm_frame_bytes(layout); ++i) source[i] = in.byte();
    pcm_to_u8_mono(source, frames, layout, mono);
}

// ---- sound ----

void op_sound_init(Input&) {
    sound_init();
    forget_dead_locks();
}

void op_sound_shutdown(Input&) {
    sound_shutdown();
    forget_dead_locks();
}

void op_sound_load_wav(Input& in) {
    const char* name = fuzz_file_name(in.byte());
    const uint32_t flags = in.pick(2) ? 0xE0u : in.uvalue();
    sound_load_wav(in.pick(16) ? name : nullptr, flags);
}

void op_sound_load_voc(Input& in) {
    const char* name = fuzz_file_name(in.byte());
    sound_load_voc(in.pick(16) ? name : nullptr);
}

void op_sound_replicate(Input& in) { sound_replicate(sound_id(in)); }
void op_sound_status(Input& in) { sound_status(sound_id(in)); }

void op_sound_play(Input& in) {
    const int32_t id = sound_id(in);
    const uint32_t flags = in.pick(2) ? static_cast<uint32_t>(in.pick(2)) : in.uvalue();
    sound_play(id, flags, in.value(), 0, 0);
}

void op_sound_stop(Input& in) { sound_stop(sound_id(in)); }
void op_sound_stop_all(Input&) { sound_stop_all(); }

void op_sound_setters(Input& in) {
    const int32_t id = sound_id(in);
    const int32_t v = in.value();
    switch (in.pick(3)) {
        case 0: sound_set_volume(id, v); break;
        case 1: sound_set_frequency(id, v); break;
        default: sound_set_pan(id, v); break;
    }
}

void op_sound_delete(Input& in) {
    sound_delete(sound_id(in));
    forget_dead_locks();
}

void op_sound_delete_all(Input&) {
    sound_delete_all();
    forget_dead_locks();
}

void op_plat_audio(Input& in) {
    switch (in.pick(3)) {
        case 0:
            if (!w.audio) plat_audio_create(in.pick(16) ? &w.audio : nullptr);
            break;
        case 1: {
            PlatAudio* a = audio_arg(in);
            plat_audio_set_cooperative(a, in.pick(2) ? PLAT_AUDIO_COOP_NORMAL : in.uvalue());
            break;
        }
        default:
            plat_audio_release(w.audio);
            w.audio = nullptr;
            break;
    }
}

void op_plat_sound_buffer_create(Input& in) {
    PlatAudio* a = audio_arg(in);
    const uint32_t flags = in.uvalue();
    uint32_t length = in.uvalue();
    if (length > (1u << 20) && length <= PLAT_SOUND_MAX_LENGTH) length = 1u << 20;
    PlatWaveFormat f{PLAT_WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
    switch (in.pick(6)) {
        case 0: f.samples_per_sec = in.uvalue(); break;
        case 1: f.bits_per_sample = 16; break;
        case 2: f.channels = 2; break;
        case 3: f.format_tag = static_cast<uint16_t>(in.value()); break;
        default: break;
    }
    PlatSoundBuffer*& slot = empty_slot(pick_slot(in, w.buffers), plat_sound_buffer_release);
    plat_sound_buffer_create(a, flags, length, in.pick(16) ? &f : nullptr, in.pick(16) ? &slot : nullptr);
}

void op_plat_sound_buffer_release(Input& in) { empty_slot(pick_slot(in, w.buffers), plat_sound_buffer_release); }

void op_plat_sound_buffer_duplicate(Input& in) {
    PlatAudio* a = audio_arg(in);
    PlatSoundBuffer* source = buffer_arg(in);
    PlatSoundBuffer*& slot = pick_slot(in, w.buffers);
    if (slot == source) return;  // its own handle is not given up before it is copied
    empty_slot(slot, plat_sound_buffer_release);
    plat_sound_buffer_duplicate(a, source, in.pick(16) ? &slot : nullptr);
}

void op_plat_sound_buffer_lock(Input& in) {
    PlatSoundBuffer* b = buffer_arg(in);
    const uint32_t offset = in.uvalue(), bytes = in.uvalue(), flags = in.pick(2) ? in.pick(4) : in.uvalue();
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    const bool second = in.pick(4) != 0;
    if (plat_sound_buffer_lock(b, offset, bytes, &p1, &n1, second ? &p2 : nullptr, second ? &n2 : nullptr, flags) !=
        PLAT_OK)
        return;
    // Write every byte handed out: the sanitizer sees any that do not belong to the buffer.
    std::memset(p1, 0x90, n1);
    if (p2) std::memset(p2, 0x70, n2);
    w.sound_locks.push_back(SoundLock{b, p1, n1, p2, n2});
}

void op_plat_sound_buffer_unlock(Input& in) {
    if (w.sound_locks.empty()) {
        plat_sound_buffer_unlock(buffer_arg(in), nullptr, 0, nullptr, 0);
        return;
    }
    const size_t k = static_cast<size_t>(in.pick(static_cast<int32_t>(w.sound_locks.size())));
    const SoundLock l = w.sound_locks[k];
    uint32_t n1 = l.n1, n2 = l.n2;
    void* p1 = l.p1;
    switch (in.pick(5)) {
        case 0:
            n1 = n1 / 2;
            n2 = 0;
            break;                        // shorter than handed out
        case 1: n1 = in.uvalue(); break;  // perhaps longer
        case 2: p1 = l.p2; break;         // the wrong region
        default: break;
    }
    if (plat_sound_buffer_unlock(l.buffer, p1, n1, l.p2, n2) == PLAT_OK)
        w.sound_locks.erase(w.sound_locks.begin() + static_cast<std::ptrdiff_t>(k));
}

void op_plat_sound_buffer_calls(Input& in) {
    PlatSoundBuffer* b = buffer_arg(in);
    const int32_t v = in.value();
    switch (in.pick(8)) {
        case 0: plat_sound_buffer_set_position(b, static_cast<uint32_t>(v)); break;
        case 1: {
            const uint32_t reserved = in.pick(8) ? 0 : in.uvalue(), priority = in.pick(8) ? 0 : in.uvalue();
            plat_sound_buffer_play(b, reserved, priority, static_cast<uint32_t>(v));
            break;
        }
        case 2: plat_sound_buffer_stop(b); break;
        case 3: {
            uint32_t status = 0;
            plat_sound_buffer_get_status(b, in.pick(8) ? &status : nullptr);
            break;
        }
        case 4: plat_sound_buffer_set_volume(b, v); break;
        case 5: plat_sound_buffer_set_frequency(b, v); break;
        default: plat_sound_buffer_set_pan(b, v); break;
    }
}

void op_headless_audio(Input& in) {
    static int16_t frames[2 * 4096];
    switch (in.pick(4)) {
        case 0: {
            static const int32_t COUNTS[] = {0, 1, 2, 255, 256, 257, 4096, -1};
            headless_audio_pull(in.pick(8) ? frames : nullptr, COUNTS[in.pick(8)]);
            break;
        }
        case 1: headless_audio_voices(); break;
        case 2: headless_audio_set_rate(in.pick(2) ? (in.coin() ? 44100 : 48000) : in.value()); break;
        default: headless_audio_rate(); break;
    }
}

const Op SAMPLE_OPS[] = {
    OP(pcm_convert),
};

const Op SOUND_OPS[] = {
    OP(sound_init),
    OP(sound_shutdown),
    OP(sound_load_wav),
    OP(sound_load_voc),
    OP(sound_replicate),
    OP(sound_status),
    OP(sound_play),
    OP(sound_stop),
    OP(sound_stop_all),
    OP(sound_setters),
    OP(sound_delete),
    OP(sound_delete_all),
    OP(plat_audio),
    OP(plat_sound_buffer_create),
    OP(plat_sound_buffer_release),
    OP(plat_sound_buffer_duplicate),
    OP(plat_sound_buffer_lock),
    OP(plat_sound_buffer_unlock),
    OP(plat_sound_buffer_calls),
    OP(headless_audio),
};

}  // namespace

const OpTable sample_ops = SAMPLE_OPS;
const OpTable sound_ops = SOUND_OPS;
