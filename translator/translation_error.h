// The numbered translation errors: their fixed Polish messages and the report text the editor
// shows at the offending cell.
#pragma once

#include <string>
#include <string_view>

namespace translator {

/// Error numbers the translator raises; the numbers are shown to the user and never change.
/// The table holds 35 entries; the ones without an enumerator here are reserved.
enum class TranslationError : int {
    None = 0,
    BrokenConnection = 2,       ///< "Połączenie przerwane"
    MissingOperand = 4,         ///< "Brak opisu elementu"
    NoRungStart = 8,            ///< "Brak początku szczebla"
    CoilNotInLastColumn = 11,   ///< "Przekaźnik musi znajdować się w 10 kolumnie"
    TooManyOutputs = 13,        ///< "Więcej niż osiem przekaźników w jednym szczeblu"
    NoOutput = 14,              ///< "Brak przekaźnika, bloku funkcyjnego lub funkcji skoku"
    ControlNotAlone = 16,       ///< "Funkcja skoku JUMP lub ominięcia musi być jedyna w szczeblu"
    MissingBlockInput = 19,     ///< "Brak argumentu bloku funkcyjnego"
    BadBlockInput = 20,         ///< "Nieprawidłowy argument bloku funkcyjnego"
    BadBlockWiring = 22,        ///< "Nieprawidłowo podłączony blok funkcyjny"
    MissingTimeBase = 23,       ///< "Nie podano podstawy czasowej dla timera"
    MissingRegister = 24,       ///< "Nie określono adresu rejestru"
    MissingBlockOutput = 25,    ///< "Brak adresu dla wyjścia bloku funkcyjnego"
    BadBlockOutput = 26,        ///< "Zły typ zmiennej dla wyjścia Q"
    BranchWithoutContact = 27,  ///< "Brak styku w odgałęzieniu"
    MisplacedEndOrLabel = 28,   ///< "Funkcje END i LABEL muszą znajdować się w 1 kolumnie"
    LabelWithoutJump = 29,      ///< "Nie ma funkcji JUMP z taką etykietą"
    EndMcrWithoutMcr = 30,      ///< "Nie ma funkcji MCR z taką etykietą"
    DuplicateLabel = 31,        ///< "Podana etykieta już istnieje"
    JumpWithoutLabel = 32,      ///< "Brak etykiety dla funkcji JUMP"
    McrWithoutEndMcr = 33,      ///< "Brak instrukcji ENDMCR dla funkcji MCR"
    ProgramTooLarge = 34,       ///< "Program jest zbyt duży": more than 5000 lines or words,
                                ///< or more than 20 open branches
};

/// Number of entries in the error table (numbers 1 to 35).
inline constexpr int kErrorTableSize = 35;

/// Returns the message of error `code` (UTF-8); empty for a reserved entry without text and
/// for a number outside 1 to 35.
[[nodiscard]] std::string_view errorMessage(int code);

/// Returns the report shown for error `code` at the 0-based cell (row, col), e.g.
/// "Błąd 11 (w3k5): Przekaźnik musi znajdować się w 10 kolumnie" (UTF-8).
[[nodiscard]] std::string errorReportText(int code, int row, int col);

}  // namespace translator
