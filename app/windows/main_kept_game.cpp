// The game kept across a restart: brought back at the start when the player asked for it
// ("Folytatás induláskor", Resume=1 in [Game]), and written after every operation that changed it.
#include "app/settings/kept_game.h"
#include "app/settings/program_paths.h"
#include "app/windows/Main.h"
#include "game/clearable_deal.h"
#include "toolkit/application.h"

#include <optional>
#include <utility>

namespace zorbalin {

void Tfrm_Main::StartFirstGame() {
    if (FSettings.Resume) {
        // A kept game that cannot be read or does not play back is dropped without a word: the
        // player gets a new deal, which the end of this operation keeps in its place.
        std::optional<TKeptGame> kept = ReadKeptGame(ProgramPaths().IniPath);
        if (kept && FGame.Resume(kept->Game)) {
            GameStarted(true);
            FResultRecorded = kept->Counted;
            FKeptText = IniValuesText(KeptGameValuesNow());
            return;
        }
    }
    if (FClearable) {
        // The window is not shown yet: nothing waits for this search.
        TClockSeededRandom numbers;
        FGame.CreateBoard(DrawClearableDeal(numbers, FGame.ColourCount()));
    } else {
        FGame.CreateBoard();
    }
    GameStarted(true);
}

std::vector<TIniValue> Tfrm_Main::KeptGameValuesNow() const {
    return KeptGameValues({FGame.Played(), FResultRecorded});
}

void Tfrm_Main::KeepGame() {
    if (!FSettings.Resume)
        return;
    const std::vector<TIniValue> values = KeptGameValuesNow();
    std::string text = IniValuesText(values);
    if (text == FKeptText)
        return; // a hint, a lone pebble, an undo with nothing to undo
    try {
        TIniFile(ProgramPaths().IniPath).WriteValues(values);
        FKeptText = std::move(text);
    } catch (const EIniWriteError& error) {
        // Said once: a box after every move would stop the game, and the close reports a
        // settings file that cannot be written anyway.
        if (!FKeepRefused && gApplication)
            gApplication->LogError(error.what());
        FKeepRefused = true;
    }
}

void Tfrm_Main::FolytatasItemClick(TObject*) {
    const bool resume = !FSettings.Resume;
    // Turned on, the game in progress is kept at once; turned off, no game is left behind.
    const std::vector<TIniValue> game = resume ? KeptGameValuesNow() : NoKeptGameValues();
    std::vector<TIniValue> values{ResumeValue(resume)};
    values.insert(values.end(), game.begin(), game.end());
    try {
        TIniFile(ProgramPaths().IniPath).WriteValues(values);
    } catch (const EIniWriteError& error) {
        if (gApplication)
            gApplication->ShowException(error);
        return;
    }
    FSettings.Resume = resume;
    FKeptText = resume ? IniValuesText(game) : std::string();
    FKeepRefused = false;
}

} // namespace zorbalin
