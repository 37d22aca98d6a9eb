#pragma once
// Nevjegy ("about"): the borderless window with the program's name and version
// over its panel picture, and the main window's keys beside it. It cannot be
// dragged, is closed by its cross button (or Esc or Enter) and frees itself at
// the end of its modal run.
#include "app/windows/key_list_panel.h"
#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/label.h"

#include <string>

namespace zorbalin {

class TPNGButton;

// The two lines of ProductName: the program's name and its version ("ZorbaLin\r\nV2.2.0.44").
std::string ProductNameText();

class Tfrm_Nevjegy : public TForm {
  public:
    explicit Tfrm_Nevjegy(TComponent* Owner);
    ~Tfrm_Nevjegy() override;

    TImage* Image1;
    TLabel* ProductName;
    TKeyListPanel* KeyList;
    TPNGButton* PNGButton8;

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Esc and Enter close the window as its cross does.
    void KeyDown(uint16_t& Key, TShiftState Shift) override;

    void SpeedButton1Click(TObject* Sender);
};

// The about window while it runs; null once it has freed itself.
extern Tfrm_Nevjegy* frm_Nevjegy;

} // namespace zorbalin
