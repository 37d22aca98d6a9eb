#pragma once
// Leosztas ("deal"): the dialog where the player types the number of a deal
// to play, in the style of the settings dialog. It opens with the number of
// the deal on the board; OK with a number from 1 to 999999999 plays that deal
// with the current number of colours. An empty field, zero or a number out of
// range is answered in a message box, and the dialog stays open with nothing
// changed.
#include "game/deal_number.h"
#include "toolkit/button.h"
#include "toolkit/digit_edit.h"
#include "toolkit/form.h"
#include "toolkit/label.h"

#include <optional>
#include <string>

namespace zorbalin {

class Tfrm_Leosztas : public TForm {
  public:
    explicit Tfrm_Leosztas(TComponent* Owner);
    ~Tfrm_Leosztas() override;

    TLabel* Label1;         // "Szám (1–999999999):"
    TDigitEdit* Edit1;      // the number
    TButton* Button1;       // "OK", the default button: checks the number first
    TButton* Button2;       // "Mégsem", the cancel button
    TDealNumber Chosen = 0; // the number accepted by OK

    void Button1Click(TObject* Sender);

  private:
    TButton* NewButton(const char* Name, int Left, const char* Text, int Tab);
};

// The dialog while it runs; null otherwise.
extern Tfrm_Leosztas* frm_Leosztas;

// The deal number the text names, or nothing with the Hungarian answer to a
// text that names none (empty, zero, out of range) in Refusal.
std::optional<TDealNumber> ReadDealNumber(const std::string& Text, std::string& Refusal);

// Runs the dialog showing Current (0 shows an empty field); the number chosen
// with OK, or nothing when the player left it otherwise.
std::optional<TDealNumber> ShowDealNumberDialog(TDealNumber Current);

} // namespace zorbalin
