// The error table and the report text.
#include "translator/translation_error.h"

#include <array>

namespace translator {

namespace {

// Index 0 is unused so that the table reads by error number.
constexpr std::array<std::string_view, kErrorTableSize + 1> kMessages = {
    "",
    "Niezakończone połączenie pionowe",
    "Połączenie przerwane",
    "Połączenie wewnątrz innego",
    "Brak opisu elementu",
    "Opis w niewłaściwym miejscu",
    "Element nie podłączony do reszty szczebla",
    "Więcej niż osiem połączeń pionowych",
    "Brak początku szczebla",
    "Odgałęzienie nie zawiera styku",
    "Szczebel nie zawiera styku",
    "Przekaźnik musi znajdować się w 10 kolumnie",
    "Zły typ zmiennej dla tego typu przekaźnika",
    "Więcej niż osiem przekaźników w jednym szczeblu",
    "Brak przekaźnika, bloku funkcyjnego lub funkcji skoku",
    "Przekaźnik uaktywniany zboczem musi być jedyny w szczeblu",
    "Funkcja skoku JUMP lub ominięcia musi być jedyna w szczeblu",
    "Złe podłączenie wyjścia bloku funkcyjnego",
    "Blok posiada niewłaściwy typ danych",
    "Brak argumentu bloku funkcyjnego",
    "Nieprawidłowy argument bloku funkcyjnego",
    "Nie podłączone wyjście bloku funkcyjnego",
    "Nieprawidłowo podłączony blok funkcyjny",
    "Nie podano podstawy czasowej dla timera",
    "Nie określono adresu rejestru",
    "Brak adresu dla wyjścia bloku funkcyjnego",
    "Zły typ zmiennej dla wyjścia Q",
    "Brak styku w odgałęzieniu",
    "Funkcje END i LABEL muszą znajdować się w 1 kolumnie",
    "Nie ma funkcji JUMP z taką etykietą",
    "Nie ma funkcji MCR z taką etykietą",
    "Podana etykieta już istnieje",
    "Brak etykiety dla funkcji JUMP",
    "Brak instrukcji ENDMCR dla funkcji MCR",
    "Program jest zbyt duży",
    "",
};

}  // namespace

std::string_view errorMessage(int code) {
    if (code < 1 || code > kErrorTableSize) {
        return {};
    }
    return kMessages[static_cast<std::size_t>(code)];
}

std::string errorReportText(int code, int row, int col) {
    std::string text = "Błąd " + std::to_string(code) + " (w" + std::to_string(row + 1) + "k" +
                       std::to_string(col + 1) + "): ";
    text += errorMessage(code);
    return text;
}

}  // namespace translator
