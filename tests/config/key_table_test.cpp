#include "config/key_table.h"

#include <gtest/gtest.h>

namespace scantora {
namespace {

TEST(KeyTable, SectionsInFileOrderWithTheirMandatoryCounts) {
    const auto table = KeyTable::Build();
    const auto& sections = table.sections();
    ASSERT_EQ(sections.size(), 13u);
    EXPECT_LE(sections.size(), KeyTable::kMaxSections);
    EXPECT_EQ(sections[0].header, "[GENERALE]");
    EXPECT_EQ(sections[1].header, "[TRASFERIMENTO]");
    EXPECT_EQ(sections[2].header, "[BARCODE]");
    EXPECT_EQ(sections[3].header, "[VARIE]");
    for (int n = 0; n < kMaxLevels; ++n)
        EXPECT_EQ(sections[4 + n].header, LevelHeader(n));
    EXPECT_EQ(sections[0].MandatoryCount(), 13u);
    EXPECT_EQ(sections[1].MandatoryCount(), 8u);
    EXPECT_EQ(sections[2].MandatoryCount(), 0u);
    EXPECT_EQ(sections[3].MandatoryCount(), 0u);
    EXPECT_EQ(sections[4].MandatoryCount(), 7u);
    EXPECT_EQ(sections[2].keys.size(), 6u + 4u * kSeparatorCount);
    EXPECT_EQ(sections[2].keys[5].key, "ADAPTIVEBARCODE=");
    EXPECT_EQ(sections[2].keys[6].key, "SEP01_LIV=");
    EXPECT_EQ(sections[2].keys[17].key, "SEP03_SAVEIMG=");
}

TEST(KeyTable, KeysReachTheirFieldsWithTheirWidths) {
    const auto table = KeyTable::Build();
    JobRecord job;
    const struct {
        const char* key;
        std::size_t width;
        std::string* field;
    } cases[] = {
        {"APPLICAZIONE=", 69, &job.applicazione},
        {"NOMEFRONTE=", 4, &job.nomefronte},
        {"DISCO_SCARICO=", 49, &job.disco_scarico},
        {"INVIOA=", 254, &job.invioa},
        {"LOG=", 2, &job.log},
        {"LOGNUMFILE=", 2, &job.lognumfile},
        {"BARCODEVAL=", 5, &job.barcodeval},
        {"SEP02_VAL=", 49, &job.separators[1].val},
        {"TWAINSOURCE=", 254, &job.twainsource},
        {"SHOWTWAIN=", 6, &job.showtwain},
        {"DESCRIZIONE_8=", 69, &job.levels[8].descrizione},
        {"LOCKUSER_3=", 9, &job.levels[3].lockuser},
    };
    for (const auto& c : cases) {
        const KeyDef* def = table.FindKey(c.key);
        ASSERT_NE(def, nullptr) << c.key;
        EXPECT_EQ(def->width, c.width) << c.key;
        EXPECT_EQ(&def->field(job), c.field) << c.key;
    }
    EXPECT_EQ(table.FindKey("LOG"), nullptr);
    EXPECT_FALSE(table.FindKey("LOCKUSER_3=")->mandatory);
    EXPECT_TRUE(table.FindKey("OBBLIGATORIO_3=")->mandatory);
}

TEST(JobRecord, DefaultsAndMandatoryLevelFlag) {
    JobRecord job;
    EXPECT_EQ(job.nomefronte, "fro");
    EXPECT_EQ(job.nomeretro, "bac");
    LevelSettings level;
    for (const char* yes : {"1", "Y", "Yes", "2"}) {
        level.obbligatorio = yes;
        EXPECT_TRUE(level.IsMandatory()) << yes;
    }
    for (const char* no : {"", "0", "N", "y"}) {
        level.obbligatorio = no;
        EXPECT_FALSE(level.IsMandatory()) << no;
    }
    job.nlivelli = "12";
    EXPECT_EQ(job.LevelCount(), kMaxLevels);
    job.nlivelli = "x";
    EXPECT_EQ(job.LevelCount(), 0);
}

}  // namespace
}  // namespace scantora
