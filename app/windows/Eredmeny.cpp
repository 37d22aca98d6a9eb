#include "app/windows/Eredmeny.h"

#include "app/windows/window_parts.h"
#include "assets/embedded_assets.h"
#include "strings/translate.h"
#include "toolkit/application.h"
#include "toolkit/font.h"

#include <memory>

namespace zorbalin {

Tfrm_Eredmeny* frm_Eredmeny = nullptr;

Tfrm_Eredmeny::Tfrm_Eredmeny(TComponent* Owner) : TForm(Owner) {
    SetName("frm_Eredmeny");
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetClientSize(225, 150);
    WindowKind = TWindowKind::Dialog;
    Position = TPosition::poMainFormCenter;
    // The panel holds no pixel of this gray, so the whole window shows.
    TransparentColor = true;
    TransparentColorValue = kClGray;
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);

    Image1 = NewPanelPicture(this, 225, 150, asset::kResultPanel);
    ConnectDragHandlers(Image1, this);
    s1 = NewLabel("s1", 48, 21, -13, Tr("Gratulálok:"));
    i1 = NewLabel("i1", 76, 57, -12, "1.");
    i1->WordWrap = true;
    PNGButton8 = NewCrossButton(this, 188, [this](TObject* Sender) { SpeedButton1Click(Sender); });
}

Tfrm_Eredmeny::~Tfrm_Eredmeny() {
    DestroyComponents();
    if (frm_Eredmeny == this)
        frm_Eredmeny = nullptr;
}

TLabel* Tfrm_Eredmeny::NewLabel(const char* Name, int Top, int Height, int FontHeight,
                                const std::string& Text) {
    auto* label = new TLabel(this);
    label->SetName(Name);
    label->SetBounds(24, Top, 181, Height);
    label->Alignment = taCenter;
    label->Transparent = true;
    label->SetParent(this);
    label->ParentFont = false;
    label->Font()->SetName("Comic Sans MS");
    label->Font()->SetHeight(FontHeight);
    label->Font()->SetStyle(fsBold);
    label->Font()->SetColor(kClYellow);
    label->SetCaption(Text);
    return label;
}

void Tfrm_Eredmeny::SpeedButton1Click(TObject*) {
    SetModalResult(kMrOk);
}

void Tfrm_Eredmeny::KeyDown(uint16_t& Key, TShiftState Shift) {
    if (Shift == 0 && (Key == vk::kEscape || Key == vk::kReturn)) {
        Key = 0;
        SpeedButton1Click(this);
    }
}

void Tfrm_Eredmeny::Image1MouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
    FDrag.MouseDown(*this, Button);
}

void Tfrm_Eredmeny::Image1MouseMove(TObject*, TShiftState, int, int) {
    FDrag.MouseMove(*this);
}

void Tfrm_Eredmeny::Image1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
    FDrag.MouseUp();
}

void ShowResultWindow(const std::string& Headline, const std::string& Message) {
    std::unique_ptr<Tfrm_Eredmeny> window(TForm::Create<Tfrm_Eredmeny>(gApplication));
    frm_Eredmeny = window.get();
    window->s1->SetCaption(Headline);
    window->i1->SetCaption(Message);
    window->ShowModal();
}

} // namespace zorbalin
