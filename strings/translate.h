#pragma once
// The player's language. Every text the program shows passes through Tr, whose argument is the
// Hungarian text: Hungarian is the program's own language and the message id of the catalogues
// (po/*.po), so a Hungarian player needs no catalogue at all. Another language's texts come from
// its compiled catalogue once the application has chosen it.
//
// xgettext finds the texts by the keywords Tr, TrN:1,2 and TrMark (`make pot`).
#include <initializer_list>
#include <memory>
#include <string>

namespace zorbalin {

class TCatalogue;

// The text in the player's language: the Hungarian text itself when the language is Hungarian or
// the catalogue has no entry for it.
std::string Tr(const char* Hungarian);

// A text that depends on a count: One when N is 1, Other otherwise, both in Hungarian. The
// catalogue's plural rule picks the form in the other language.
std::string TrN(const char* One, const char* Other, unsigned long N);

// Marks a text for the catalogues without translating it, for tables built before the language
// is known; whoever shows an entry of the table passes it through Tr then.
constexpr const char* TrMark(const char* Hungarian) {
    return Hungarian;
}

// Pattern with "%1", "%2", … replaced by Args in turn, so that a translation may put the values
// where its own grammar wants them ("Már csak %1 kavics maradt."). A "%" followed by anything
// else stays as it is.
std::string FormatText(const std::string& Pattern, std::initializer_list<std::string> Args);

// Makes Catalogue's language the player's; null goes back to Hungarian. Only the thread that
// shows the windows calls it, before it shows the texts in the new language.
void UseCatalogue(std::shared_ptr<const TCatalogue> Catalogue);

} // namespace zorbalin
