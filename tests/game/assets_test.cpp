// The art and sounds as files: found regardless of letter case, and a missing or broken file
// stops start-up with its name.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "game_fixture.h"

namespace {

const char* const kFiles[] = {"TennisBackground.BMP",  "MainMenu.BMP",       "OptionsMenu.bmp",  "BallCell.BMP",
                              "Racquet.BMP",           "RacquetFlipped.BMP", "MenuBox.bmp",      "LeftPlayerScores.bmp",
                              "RightPlayerScores.bmp", "GamePaused.bmp",     "TennisThwack.WAV", "PointLeftPlayer.WAV",
                              "PointRightPlayer.WAV",  "Welcome.WAV"};

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void copy_file(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

// A scratch copy of the data folder, entered as the working directory.
class AssetFiles : public GameTest {
protected:
    AssetFiles() { start_game_ = false; }
    void SetUp() override {
        GameTest::SetUp();
        // One folder per process and test: the test programs run side by side.
        dir_ =
            (std::filesystem::temp_directory_path() / ("zarn_assets_" + std::to_string(getpid()) + "_" +
                                                       ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                .string();
        std::filesystem::remove_all(dir_);
        ASSERT_TRUE(std::filesystem::create_directories(dir_));
        ASSERT_EQ(plat_window_create(GAME_WINDOW_TITLE), 0);
    }
    void TearDown() override {
        GameTest::TearDown();  // back out of the folder first: Windows keeps a folder in use
        std::filesystem::remove_all(dir_);
    }
    // Copies every file but `skip`, under lower-case names when asked, and enters the folder.
    void fill(const char* skip, bool lower_case) {
        for (const char* f : kFiles)
            if (!skip || std::string(f) != skip)
                copy_file(std::string(ZARN_GAME_DATA) + "/" + f, dir_ + "/" + (lower_case ? lower(f) : std::string(f)));
        ASSERT_EQ(chdir(dir_.c_str()), 0);
    }
    std::string dir_;
};

}  // namespace

TEST_F(AssetFiles, NamesAreFoundRegardlessOfLetterCase) {
    fill(nullptr, true);
    char path[64];
    EXPECT_EQ(asset_find("Racquet.BMP", path, sizeof path), 1);
    EXPECT_STREQ(path, "racquet.bmp");
    EXPECT_EQ(asset_find("Racquet.bmp", path, sizeof path), 1);
    EXPECT_EQ(asset_find("Racquet", path, sizeof path), 0);
    EXPECT_EQ(asset_find("Racquet.BMP", path, 5), 0);  // would not fit
#ifndef _WIN32
    // An exact match wins over one that differs in case (Windows' folders cannot hold both).
    copy_file("racquet.bmp", "Racquet.BMP");
    EXPECT_EQ(asset_find("Racquet.BMP", path, sizeof path), 1);
    EXPECT_STREQ(path, "Racquet.BMP");
#endif
    EXPECT_EQ(game_init(nullptr), 1) << game_startup_error;
    EXPECT_EQ(left_racquet.frame_count, 1);
    EXPECT_EQ(menu_pointer.attributes & BOB_HAS_IMAGE, BOB_HAS_IMAGE);
}

TEST_F(AssetFiles, EachMissingFileStopsStartUpNamingIt) {
    for (const char* missing : kFiles) {
        fill(missing, false);
        std::remove(missing);
        EXPECT_EQ(game_init(nullptr), 0) << missing;
        EXPECT_NE(std::string(game_startup_error).find(missing), std::string::npos) << game_startup_error;
        game_shutdown(nullptr);
        sound_first_init = 1;
        sound_object = nullptr;
        ASSERT_EQ(chdir(ZARN_GAME_DATA), 0);
    }
}

TEST_F(AssetFiles, AShortOrForeignPictureIsRefusedBeforeItsCellsAreRead) {
    fill(nullptr, false);
    // The ball sheet replaced by the (one-cell) racquet picture: too small for six frames.
    copy_file("Racquet.BMP", "BallCell.BMP");
    EXPECT_EQ(game_init(nullptr), 0);
    EXPECT_NE(std::string(game_startup_error).find("BallCell.BMP"), std::string::npos) << game_startup_error;
    game_shutdown(nullptr);
    // A file that is no picture at all.
    copy_file("Welcome.WAV", "BallCell.BMP");
    EXPECT_EQ(game_init(nullptr), 0);
    EXPECT_NE(std::string(game_startup_error).find("BallCell.BMP"), std::string::npos) << game_startup_error;
}

TEST_F(AssetFiles, WithoutASoundDeviceTheGamePlaysSilentlyAndSaysSoOnce) {
    fill(nullptr, false);
    headless_refuse("sound", -1);
    testing::internal::CaptureStderr();
    ASSERT_EQ(game_init(nullptr), 1) << game_startup_error;
    for (int i = 0; i < 5; ++i) game_frame(nullptr);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(game_sound_missing, 1);
    EXPECT_NE(said.find("no sound device"), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    EXPECT_EQ(game_state, GAME_MAIN_MENU);
    EXPECT_EQ(headless_audio_voices(), 0);
    game_shutdown(nullptr);

    // Even without a device, a missing sound file is still told.
    std::remove("Welcome.WAV");
    sound_first_init = 1;
    sound_object = nullptr;
    testing::internal::CaptureStderr();
    EXPECT_EQ(game_init(nullptr), 0);
    testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string(game_startup_error).find("Welcome.WAV"), std::string::npos) << game_startup_error;
}

TEST_F(AssetFiles, ASoundFileThatIsNoSoundStopsStartUp) {
    fill(nullptr, false);
    copy_file("GamePaused.bmp", "PointRightPlayer.WAV");
    EXPECT_EQ(game_init(nullptr), 0);
    EXPECT_NE(std::string(game_startup_error).find("PointRightPlayer.WAV"), std::string::npos) << game_startup_error;
}
