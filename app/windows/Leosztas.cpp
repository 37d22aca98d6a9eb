#include "app/windows/Leosztas.h"

#include "strings/translate.h"
#include "toolkit/application.h"
#include "toolkit/font.h"

#include <memory>

namespace zorbalin {

Tfrm_Leosztas* frm_Leosztas = nullptr;

Tfrm_Leosztas::Tfrm_Leosztas(TComponent* Owner) : TForm(Owner) {
    SetName("frm_Leosztas");
    SetCaption(Tr("Leosztás száma"));
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetClientSize(218, 112);
    Position = TPosition::poMainFormCenter;
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);

    Label1 = new TLabel(this);
    Label1->SetName("Label1");
    Label1->SetBounds(16, 14, 185, 16);
    Label1->SetCaption(Tr("Szám (1–999999999):"));
    Label1->SetParent(this);

    Edit1 = new TDigitEdit(this);
    Edit1->SetName("Edit1");
    Edit1->SetBounds(16, 34, 185, 21);
    Edit1->TabOrder = 0;
    Edit1->SetParent(this);

    Button1 = NewButton("Button1", 28, TrMark("OK"), 1);
    Button1->Default = true;
    Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
    Button2 = NewButton("Button2", 116, TrMark("Mégsem"), 2);
    Button2->ModalResult = kMrCancel;
    Button2->Cancel = true;
}

Tfrm_Leosztas::~Tfrm_Leosztas() {
    DestroyComponents();
    if (frm_Leosztas == this)
        frm_Leosztas = nullptr;
}

TButton* Tfrm_Leosztas::NewButton(const char* Name, int Left, const char* Text, int Tab) {
    auto* button = new TButton(this);
    button->SetName(Name);
    button->SetBounds(Left, 72, 75, 25);
    button->SetCaption(Tr(Text));
    button->TabStop = true;
    button->TabOrder = Tab;
    button->SetParent(this);
    return button;
}

void Tfrm_Leosztas::Button1Click(TObject*) {
    std::string refusal;
    const std::optional<TDealNumber> number = ReadDealNumber(Edit1->Text(), refusal);
    if (!number) {
        gApplication->MessageBox(refusal, Caption(), MB_OK | MB_ICONSTOP);
        Edit1->SetFocus();
        return;
    }
    Chosen = *number;
    SetModalResult(kMrOk);
}

std::optional<TDealNumber> ReadDealNumber(const std::string& Text, std::string& Refusal) {
    if (Text.empty()) {
        Refusal = Tr("Írd be a leosztás számát!");
        return std::nullopt;
    }
    // Leading zeros aside, more than nine digits are out of range whatever they say.
    const std::size_t first = Text.find_first_not_of('0');
    const std::string digits = first == std::string::npos ? "" : Text.substr(first);
    std::int64_t value = 0;
    bool digitsOnly = digits.size() <= 9;
    for (char c : digits) {
        digitsOnly = digitsOnly && c >= '0' && c <= '9';
        value = value * 10 + (c - '0');
    }
    if (!digitsOnly || !IsDealNumber(value)) {
        Refusal = Tr("A leosztás száma 1 és 999999999 közötti egész szám lehet.");
        return std::nullopt;
    }
    return static_cast<TDealNumber>(value);
}

std::optional<TDealNumber> ShowDealNumberDialog(TDealNumber Current) {
    std::unique_ptr<Tfrm_Leosztas> dialog(TForm::Create<Tfrm_Leosztas>(gApplication));
    frm_Leosztas = dialog.get();
    dialog->Edit1->SetText(Current != 0 ? std::to_string(Current) : "");
    if (dialog->ShowModal() != kMrOk)
        return std::nullopt;
    return dialog->Chosen;
}

} // namespace zorbalin
