#include "app/windows/Beallit.h"

#include "game/game.h"
#include "strings/translate.h"
#include "toolkit/application.h"
#include "toolkit/font.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zorbalin {

Tfrm_Beallit* frm_Beallit = nullptr;

Tfrm_Beallit::Tfrm_Beallit(TComponent* Owner) : TForm(Owner) {
    SetName("frm_Beallit");
    SetCaption(Tr("Beállítások"));
    SetBorderStyle(TFormBorderStyle::bsDialog);
    WindowKind = TWindowKind::Dialog;
    SetClientSize(218, 112);
    Position = TPosition::poMainFormCenter;
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);

    Button1 = NewButton("Button1", 28, Tr("OK"), kMrOk, 0);
    Button1->Default = true;
    Button2 = NewButton("Button2", 116, Tr("Mégsem"), kMrCancel, 1);
    Button2->Cancel = true;

    RadioGroup1 = new TRadioGroup(this);
    RadioGroup1->SetName("RadioGroup1");
    RadioGroup1->SetBounds(16, 12, 185, 45);
    RadioGroup1->SetCaption(Tr("Színek száma"));
    // One choice in one row for each number of colours the game deals with.
    std::vector<std::string> counts;
    for (std::int32_t count = kFewestColours; count <= kMostColours; ++count)
        counts.push_back(std::to_string(count));
    const int columns = static_cast<int>(counts.size());
    RadioGroup1->SetItems(std::move(counts));
    RadioGroup1->SetColumns(columns);
    RadioGroup1->TabStop = true;
    RadioGroup1->TabOrder = 2;
    RadioGroup1->SetParent(this);
}

Tfrm_Beallit::~Tfrm_Beallit() {
    DestroyComponents();
    if (frm_Beallit == this)
        frm_Beallit = nullptr;
}

TButton* Tfrm_Beallit::NewButton(const char* Name, int Left, const std::string& Text,
                                 TModalResult Result, int Tab) {
    auto* button = new TButton(this);
    button->SetName(Name);
    button->SetBounds(Left, 72, 75, 25);
    button->SetCaption(Text);
    button->ModalResult = Result;
    button->TabStop = true;
    button->TabOrder = Tab;
    button->SetParent(this);
    return button;
}

void ShowSettingsDialog(std::int32_t& ColourCount) {
    std::unique_ptr<Tfrm_Beallit> dialog(TForm::Create<Tfrm_Beallit>(gApplication));
    frm_Beallit = dialog.get();
    dialog->RadioGroup1->SetItemIndex(ColourCount - kFewestColours);
    if (dialog->ShowModal() == kMrOk && dialog->RadioGroup1->ItemIndex() >= 0)
        ColourCount = dialog->RadioGroup1->ItemIndex() + kFewestColours;
}

} // namespace zorbalin
