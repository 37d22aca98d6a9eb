#pragma once
// Parts the program's windows share: running a building step so that one
// failure does not leave a window half built, the panel picture that fills a
// borderless window, and the small cross button that closes it.
#include "toolkit/application.h"
#include "toolkit/classes.h"

#include <exception>
#include <string_view>

namespace zorbalin {

class TForm;
class TImage;
class TPNGButton;

// Runs one step of building a window; a failure is shown in the error box and
// the building goes on with the next step.
template <class Step> void RunCreationStep(Step&& DoStep) {
    try {
        DoStep();
    } catch (const std::exception& e) {
        if (!gApplication)
            throw;
        gApplication->ShowException(e);
    }
}

// Image1: the embedded panel picture, stretched over (0, 0, Width, Height).
TImage* NewPanelPicture(TForm* Form, int Width, int Height, std::string_view Picture);

// PNGButton8: 25 x 25 at (Left, 12) showing the 16 x 16 orange cross, no frame.
TPNGButton* NewCrossButton(TForm* Form, int Left, TNotifyEvent OnClick);

} // namespace zorbalin
