// The job record: the current job's settings, one text field per key of the job configuration
// file (fields are named after their keys). Numbers stay text and are converted with
// LeadingNumber() where used. Field widths and mandatory flags live in the key table.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace scantora {

inline constexpr int kMaxLevels = 9;
inline constexpr int kSeparatorCount = 3;

// One identification level ([LIVELLO n]).
struct LevelSettings {
    std::string descrizione;    // label of the level
    std::string nomefileinput;  // input-control file: list of allowed codes
    std::string nmaxcar;        // maximum characters of the code (also zero-padded width)
    std::string composnome;     // name composition pattern
    std::string opfinescandoc;  // "+", "-" or empty: operation at the end of a document
    std::string obbligatorio;   // "1"/"0" or "Y"/"N": level must be filled before scanning
    std::string avuoto;         // value put into an empty code
    std::string lockuser;       // not 0: the code is locked for the operator

    // A level is mandatory when its flag begins with "Y" or its number is not 0.
    bool IsMandatory() const;
};

// One separator barcode ([BARCODE] SEPnn_*).
struct SeparatorSettings {
    std::string liv;      // level (from 1) stepped by this separator; 0: no separator
    std::string val;      // barcode value of the separator
    std::string op;       // "+" or "-": direction of the step
    std::string saveimg;  // 0 or empty: the separator page is removed; else it is kept
};

struct JobRecord {
    // [GENERALE]
    std::string applicazione;  // job name
    std::string inisaveparam;  // file keeping the last identification values
    std::string inisetscan;    // scanner settings file (".twn" appended)
    std::string nlivelli;      // number of levels in use, 1 to 9
    std::string multitiff;     // "Y": one multi-page TIFF per document
    std::string maxdoc_num;    // images per multi-page document
    std::string maxdoc_op;     // "+" or "-": move on automatically at MAXDOC_NUM
    std::string nomefronte = "fro";
    std::string nomeretro = "bac";
    std::string maxdoc_nliv;    // level (from 1) advanced at an automatic change
    std::string disco_scarico;  // work area root
    std::string disco_work;     // work drive letter
    std::string automatico;     // level (from 0) advanced automatically
    std::string jpgcompress;    // JPEG quality, 1 to 254, else 125

    std::array<LevelSettings, kMaxLevels> levels;

    // [TRASFERIMENTO]
    std::string trasferimento;
    std::string viewnlivelli;
    std::string invioa;  // destination root
    std::string log;
    std::string nomefilelog;
    std::string numlivellilog;
    std::string lognumfile;
    std::string logdirbase;
    std::string chiusuradopotrasf;
    std::string semaforo;
    std::string semaforo_momentocreaz;
    std::string semaforo_nomefile;

    // [BARCODE]
    std::string barcode;
    std::string nomefilebarcode;
    std::string barcodeval;
    std::string exportbarcodeinbatch;
    std::string thresholdbarcode;
    std::string adaptivebarcode;  // non-zero: the reader's adaptive search; absent: off
    std::array<SeparatorSettings, kSeparatorCount> separators;

    // [VARIE]
    std::string twainsource;
    std::string showtwain;

    // The number of levels in use, clamped to 0..kMaxLevels.
    int LevelCount() const;
};

// The number of levels an NLIVELLI value gives, clamped to 0..kMaxLevels.
int LevelCountOf(std::string_view nlivelli);

}  // namespace scantora
