#pragma once
// Beallit ("settings"): the dialog where the player picks the number of pebble
// colours. The choice applies from the next deal; the board on screen keeps
// its colours.
#include "toolkit/button.h"
#include "toolkit/form.h"
#include "toolkit/radio_group.h"

#include <cstdint>

namespace zorbalin {

class Tfrm_Beallit : public TForm {
  public:
    explicit Tfrm_Beallit(TComponent* Owner);
    ~Tfrm_Beallit() override;

    TButton* Button1;         // "OK", the default button
    TButton* Button2;         // "Mégsem", the cancel button
    TRadioGroup* RadioGroup1; // "Színek száma": "3", "4", "5"

  private:
    TButton* NewButton(const char* Name, int Left, const std::string& Text, TModalResult Result,
                       int Tab);
};

// The settings dialog while it runs; null otherwise.
extern Tfrm_Beallit* frm_Beallit;

// Runs the settings dialog with ColourCount (3, 4 or 5) selected. Closed with
// OK (the button or Enter), ColourCount becomes the selected number; any other
// ending ("Mégsem", Esc, the close box) leaves it as it was.
void ShowSettingsDialog(std::int32_t& ColourCount);

} // namespace zorbalin
