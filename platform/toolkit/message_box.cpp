#include "toolkit/message_box.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "toolkit/application.h"
#include "toolkit/button.h"
#include "toolkit/label.h"

namespace zorbalin {

namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kMaxTextWidth = 360;
constexpr int kMinTextWidth = 120;
constexpr int kButtonHeight = 25;
// The window system's title bar and borders around the box, at most.
constexpr int kFrameAllowance = 40;
// More text than this is not shown: no box can hold it anyway.
constexpr std::size_t kMostShownBytes = 8192;
const char kEllipsis[] = "\xE2\x80\xA6";

// Whether byte `at` begins a character rather than continuing a UTF-8 one.
bool StartsCharacter(const std::string& Text, std::size_t At) {
    return At >= Text.size() || (static_cast<unsigned char>(Text[At]) & 0xC0) != 0x80;
}

std::size_t CharacterEnd(const std::string& Text, std::size_t At) {
    std::size_t next = At + 1;
    while (!StartsCharacter(Text, next))
        ++next;
    return next;
}

// The start of `text` up to `bytes`, not cutting a character.
std::string CutAt(const std::string& Text, std::size_t Bytes) {
    if (Bytes >= Text.size())
        return Text;
    while (Bytes > 0 && !StartsCharacter(Text, Bytes))
        --Bytes;
    return Text.substr(0, Bytes);
}

// A word too wide for `width` (a long path) in pieces that fit, one a line.
std::string BreakWord(TCanvas& Canvas, const std::string& Word, int Width) {
    std::string broken, piece;
    for (std::size_t at = 0; at < Word.size();) {
        const std::size_t next = CharacterEnd(Word, at);
        std::string longer = piece + Word.substr(at, next - at);
        if (!piece.empty() && Canvas.TextWidth(longer) > Width) {
            broken += piece + "\n";
            piece = Word.substr(at, next - at);
        } else {
            piece = std::move(longer);
        }
        at = next;
    }
    return broken + piece;
}

// The word wrap breaks lines between words only: a word wider than the box
// is broken here, inside itself.
std::string BreakLongWords(TCanvas& Canvas, const std::string& Text, int Width) {
    std::string broken;
    for (std::size_t at = 0; at <= Text.size();) {
        std::size_t end = std::min(Text.find_first_of(" \n", at), Text.size());
        const std::string word = Text.substr(at, end - at);
        broken += Canvas.TextWidth(word) <= Width ? word : BreakWord(Canvas, word, Width);
        if (end < Text.size())
            broken += Text[end];
        at = end + 1;
    }
    return broken;
}

// The stop sign: a red disc with a white cross.
class TStopIcon : public TGraphicControl {
  public:
    explicit TStopIcon(TComponent* Owner) : TGraphicControl(Owner) {
        ControlStyle = 0;
        SetBounds(0, 0, kIconSize, kIconSize);
    }

  protected:
    void Paint() override {
        HDC dc = Canvas()->Handle();
        const double c = (kIconSize - 1) / 2.0, radius = kIconSize / 2.0 - 1;
        for (int y = 0; y < kIconSize; ++y)
            for (int x = 0; x < kIconSize; ++x) {
                double dx = x - c, dy = y - c;
                if (std::sqrt(dx * dx + dy * dy) > radius)
                    continue;
                bool cross = std::abs(std::abs(dx) - std::abs(dy)) < 2.2 && std::abs(dx) < 8.5;
                SetPixel(dc, x, y, cross ? RGB(255, 255, 255) : RGB(200, 16, 16));
            }
    }
};

class TMessageForm : public TForm {
  public:
    // The box is at most two thirds of the screen wide and never taller than
    // the screen, however long the message: the text is wrapped, inside long
    // words too, and what does not fit is cut with an ellipsis.
    TMessageForm(TComponent* Owner, const std::string& Message, const std::string& Caption,
                 unsigned Flags, const TRect& Screen)
        : TForm(Owner) {
        SetBorderStyle(TFormBorderStyle::bsDialog);
        WindowKind = TWindowKind::Dialog;
        SetCaption(Caption);
        bool withIcon = (Flags & 0xF0) != 0;
        bool withCancel = (Flags & 0x0F) == MB_OKCANCEL;

        int textLeft = kMargin + (withIcon ? kIconSize + kMargin : 0);
        const int textWidth = std::max(
            kIconSize, std::min(kMaxTextWidth, Screen.Width() * 2 / 3 - textLeft - kMargin));
        const int textRoom =
            std::max(kIconSize, Screen.Height() - kFrameAllowance - 3 * kMargin - kButtonHeight);
        const std::string shown = FittingText(Message, textWidth, textRoom);
        TRect textBox = MeasureText(shown, textWidth);
        int textHeight = std::max(textBox.Height(), withIcon ? kIconSize : 0);

        if (withIcon) {
            auto* icon = new TStopIcon(this);
            icon->SetParent(this);
            icon->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
        }
        Text = new TLabel(this);
        Text->SetParent(this);
        Text->WordWrap = true;
        Text->Transparent = true;
        Text->SetCaption(shown);
        Text->SetBounds(textLeft, kMargin + (textHeight - textBox.Height()) / 2, textBox.Width(),
                        textBox.Height());

        int buttons = withCancel ? 2 : 1, buttonsWidth = buttons * 75 + (buttons - 1) * 8;
        int clientWidth =
            std::max(textLeft + textBox.Width() + kMargin, buttonsWidth + 2 * kMargin);
        int buttonTop = kMargin + textHeight + kMargin;
        int buttonLeft = (clientWidth - buttonsWidth) / 2;
        Ok = AddButton("OK", kMrOk, buttonLeft, buttonTop);
        Ok->Default = true;
        Ok->Cancel = !withCancel;
        if (withCancel)
            AddButton("Cancel", kMrCancel, buttonLeft + 83, buttonTop)->Cancel = true;
        SetActiveControl(Ok);
        SetClientSize(clientWidth, buttonTop + kButtonHeight + kMargin);
    }

    TLabel* Text = nullptr;
    TButton* Ok = nullptr;

  private:
    TButton* AddButton(const std::string& Caption, TModalResult Result, int Left, int Top) {
        auto* b = new TButton(this);
        b->SetParent(this);
        b->SetCaption(Caption);
        b->ModalResult = Result;
        b->SetBounds(Left, Top, 75, kButtonHeight);
        return b;
    }

    // The box the text needs, wrapped at `width`.
    TRect MeasureText(const std::string& Text, int Width) {
        TDCOwner dc(CreateCompatibleDC(nullptr));
        TCanvas canvas(dc.Get());
        canvas.Font().Assign(*Font());
        TRect box{0, 0, Width, 0};
        canvas.DrawText(Text, box, taLeftJustify, true, false, true);
        box.Right = std::max(box.Right, std::min(kMinTextWidth, Width));
        return box;
    }

    // The message with its long words broken to `width`, and cut to the
    // longest start that fits `height` when all of it does not.
    std::string FittingText(const std::string& Message, int Width, int Height) {
        TDCOwner dc(CreateCompatibleDC(nullptr));
        TCanvas canvas(dc.Get());
        canvas.Font().Assign(*Font());
        const std::string whole = Message.size() > kMostShownBytes
                                      ? CutAt(Message, kMostShownBytes) + kEllipsis
                                      : Message;
        const std::string broken = BreakLongWords(canvas, whole, Width);
        if (MeasureText(broken, Width).Height() <= Height)
            return broken;
        std::size_t fits = 0, tooLong = broken.size();
        while (tooLong - fits > 1) {
            const std::size_t middle = fits + (tooLong - fits) / 2;
            if (MeasureText(CutAt(broken, middle) + kEllipsis, Width).Height() <= Height)
                fits = middle;
            else
                tooLong = middle;
        }
        return CutAt(broken, fits) + kEllipsis;
    }
};

} // namespace

int RunMessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
    if (!gApplication)
        return IDCANCEL;
    const TRect screen = gApplication->Backend().ScreenRect();
    std::unique_ptr<TMessageForm> box(
        TForm::Create<TMessageForm>(gApplication, Text, Caption, Flags, screen));
    TMessageForm* form = box.get();
    bool told = false;
    form->OnActivate = [form, &told, &Text, &Caption](TObject*) {
        if (told)
            return;
        told = true;
        gApplication->Backend().MessageBoxShown({Caption, Text, form->Window()});
    };
    // Centred over the main form when it is shown, else on the screen; unlike the program's
    // dialogs, the box is kept on the screen so that its text and button can always be reached.
    TForm* main = gApplication->MainForm();
    TRect over = main && main->Visible() ? main->BoundsRect() : screen;
    int left = over.Left + (over.Width() - form->Width()) / 2;
    int top = over.Top + (over.Height() - form->Height()) / 2;
    left = std::max(screen.Left, std::min(left, screen.Right - form->Width()));
    top = std::max(screen.Top, std::min(top, screen.Bottom - form->Height()));
    form->Position = TPosition::poDesigned;
    form->SetBounds(left, top, form->Width(), form->Height());
    return form->ShowModal() == kMrOk ? IDOK : IDCANCEL;
}

} // namespace zorbalin
