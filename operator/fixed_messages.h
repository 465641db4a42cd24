// The diagnostic messages that are built in and never translated.
#pragma once

#include <string_view>

namespace scantora::fixed_message {

inline constexpr std::string_view kUtilitaCreation = "Errore nella creazione della classe Utilita";
inline constexpr std::string_view kAcquisdocCreation =
    "Errore nella creazione della classe CAcquisdoc";
inline constexpr std::string_view kInitSelection = "Errore 1 in Inizializzazione Scantoradlg";
inline constexpr std::string_view kInitJobFile = "Errore 2 in Inizializ Scantoradlg";
inline constexpr std::string_view kInitScannerFile = "Errore  in Inizializzazione Scantoradlg";
inline constexpr std::string_view kJobFileOpenSuffix = " (LoadFileini2)";
inline constexpr std::string_view kJobKeysMissing =
    "ATTENZIONE!!!Non riesco a caricare i parametri di lavoro.\nChiamare Assistenza Software";
inline constexpr std::string_view kRestartScantora = "Restart Scantora";
inline constexpr std::string_view kRestartToApply =
    "Riavviare l'applicazione per rendere attive le modifiche";
inline constexpr std::string_view kScannerFileRead = "Errore in Lettura file Scanner (%s)";
inline constexpr std::string_view kScannerFileWrite =
    "Errore in registrazione file settaggi scanner";
inline constexpr std::string_view kNoTwainSource = "Source TWAIN  don't detect";
inline constexpr std::string_view kTwainError = "Errore TWAIN: %d";
// A resolution the scanner does not take: typed into the edit (with the value), or chosen on
// the track bar.
inline constexpr std::string_view kResolutionTyped =
    "La risoluzione %d prescelta non è supportato dallo scanner\nModificare la risoluzione";
inline constexpr std::string_view kResolutionMoved =
    "La risoluzione prescelta non è supportato dallo scanner\nModificare la risoluzione";

}  // namespace scantora::fixed_message
