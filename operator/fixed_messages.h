// The diagnostic messages that are built in and never translated.
#pragma once

#include <string>
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
// The acquisition loop's scanner values, applied before and read after an acquisition.
inline constexpr std::string_view kResolutionSet = "Settata la risoluzione a:%d";
inline constexpr std::string_view kBrightnessSet = "Settata la intensita:%d";
inline constexpr std::string_view kContrastSet = "Settata la Contrasto a:%d";
inline constexpr std::string_view kFrameLeftSet = "Left:%d";
inline constexpr std::string_view kFrameTopSet = "Top:%d";
inline constexpr std::string_view kFrameHeightSet = "Height:%d";
inline constexpr std::string_view kFrameWidthSet = "Width:%d";
inline constexpr std::string_view kResolutionRead = "DPI=%ld";
inline constexpr std::string_view kContrastRead = "Letto Contrasto:%d";
inline constexpr std::string_view kBrightnessRead = "Letto Intensita:%d";
inline constexpr std::string_view kPageResolutionRead = "Letta la risoluzione %d (TwaqinPage)";
inline constexpr std::string_view kPageBrightnessRead = "Letta intensita %d (TwaqinPage)";
inline constexpr std::string_view kPageContrastRead = "Letta contrasto %d (TwaqinPage)";
// A page that could not be saved (error, file), a work area that cannot take the pages
// (directory), and a finished work file that could not be put into place (error, file).
inline constexpr std::string_view kSavePageFailed = "Errore %d Salvataggio Immagine nel File: %s";
inline constexpr std::string_view kWorkAreaNotWritable =
    "Errore: la directory %s non e' scrivibile. Acquisizione non avviata";
inline constexpr std::string_view kWorkFileNotCopied = "Errore %d Copia File di lavoro in: %s";
// A resolution the scanner does not take: typed into the edit (with the value), or chosen on
// the track bar.
inline constexpr std::string_view kResolutionTyped =
    "La risoluzione %d prescelta non è supportato dallo scanner\nModificare la risoluzione";
inline constexpr std::string_view kResolutionMoved =
    "La risoluzione prescelta non è supportato dallo scanner\nModificare la risoluzione";
// A page move: the semaphore file could not be made; the barcode export of a page failed.
inline constexpr std::string_view kSemaphoreCreation = "Error create file semaphore";
inline constexpr std::string_view kBarcodeRecognition = "Error %d in BarCode Recognition";
// The viewer's file has gone, and a file of the batch list could not be deleted.
inline constexpr std::string_view kViewFileMissing = "File [%s] non esistente";
inline constexpr std::string_view kDeleteFailed = "Error Delete File: %s";

// The exit command's question.
inline constexpr std::string_view kExitQuestion = "Exit ?";

// `message` with its "%s" replaced by `argument`.
inline std::string WithArgument(std::string_view message, std::string_view argument) {
    const auto at = message.find("%s");
    if (at == std::string_view::npos) return std::string(message);
    std::string text(message.substr(0, at));
    text += argument;
    text += message.substr(at + 2);
    return text;
}

// `message` with its "%d" replaced by `number`.
inline std::string WithNumber(std::string_view message, long number) {
    const auto at = message.find("%d");
    if (at == std::string_view::npos) return std::string(message);
    std::string text(message.substr(0, at));
    text += std::to_string(number);
    text += message.substr(at + 2);
    return text;
}

}  // namespace scantora::fixed_message
