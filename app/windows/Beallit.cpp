#include "app/windows/Beallit.h"

#include "game/game.h"
#include "toolkit/application.h"
#include "toolkit/font.h"

#include <memory>

namespace zorbalin {

Tfrm_Beallit* frm_Beallit = nullptr;

Tfrm_Beallit::Tfrm_Beallit(TComponent* Owner) : TForm(Owner) {
    SetName("frm_Beallit");
    SetCaption("Beállítások");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetClientSize(218, 112);
    Position = TPosition::poMainFormCenter;
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);

    Button1 = NewButton("Button1", 28, "OK", kMrOk, 0);
    Button1->Default = true;
    Button2 = NewButton("Button2", 116, "Mégsem", kMrCancel, 1);
    Button2->Cancel = true;

    RadioGroup1 = new TRadioGroup(this);
    RadioGroup1->SetName("RadioGroup1");
    RadioGroup1->SetBounds(16, 12, 185, 45);
    RadioGroup1->SetCaption("Színek száma");
    RadioGroup1->SetItems({"3", "4", "5"});
    RadioGroup1->SetColumns(3);
    RadioGroup1->TabStop = true;
    RadioGroup1->TabOrder = 2;
    RadioGroup1->SetParent(this);
}

Tfrm_Beallit::~Tfrm_Beallit() {
    DestroyComponents();
    if (frm_Beallit == this)
        frm_Beallit = nullptr;
}

TButton* Tfrm_Beallit::NewButton(const char* Name, int Left, const char* Text, TModalResult Result,
                                 int Tab) {
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
