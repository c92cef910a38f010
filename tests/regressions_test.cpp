// Files that once broke, or nearly broke, a loader: each must give a clear result. The fuzz
// targets' findings are kept in tests/data/regressions/ by file kind (.bmp, .wav, .voc, .pal).
#include <filesystem>
#include <string>

#include "headless_fixture.h"
#include "imaging/bmp.h"
#include "imaging/palette.h"
#include "sound/sound.h"

namespace {

using Regressions = Headless;

TEST_F(Regressions, EveryKeptFileLoadsOrIsRefusedCleanly) {
    const std::filesystem::path dir = std::filesystem::path(ZARN_TEST_DATA) / "regressions";
    ASSERT_TRUE(std::filesystem::is_directory(dir));
    ASSERT_EQ(sound_init(), 1);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().string(), ext = entry.path().extension().string();
        SCOPED_TRACE(name);
        ++files;
        if (ext == ".bmp") {
            BmpFile bmp{};
            if (!bmp_load(&bmp, name.c_str())) {
                EXPECT_EQ(bmp.buffer, nullptr);
            }
            bmp_unload(&bmp);
        } else if (ext == ".wav" || ext == ".voc") {
            const int id = ext == ".wav" ? sound_load_wav(name.c_str(), 0xE0) : sound_load_voc(name.c_str());
            EXPECT_GE(id, -1);
            EXPECT_LT(id, SOUND_SLOTS);
            if (id >= 0) {
                EXPECT_EQ(sound_play(id, 0), 1);
                sound_delete(id);
            }
        } else if (ext == ".pal") {
            PaletteEntry entries[256] = {};
            EXPECT_EQ(palette_load_file(name.c_str(), entries), 1);
        }
    }
    EXPECT_GT(files, 0);
    sound_shutdown();
}

}  // namespace
