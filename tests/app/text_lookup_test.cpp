#include "app/text_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/builtin_texts.h"
#include "operator/text_ids.h"

namespace scantora {
namespace {

TEST(BuiltinTexts, TablesAscendAndCoverTheDescribedRange) {
    for (auto table : {ItalianTexts(), EnglishTextsDiffering()}) {
        for (std::size_t i = 1; i < table.size(); ++i)
            EXPECT_LT(table[i - 1].id, table[i].id) << "at " << table[i].id;
    }
    const auto table = ItalianTexts();
    EXPECT_EQ(std::count_if(table.begin(), table.end(), [](auto& e) { return e.id <= 61557; }),
              104);
    EXPECT_EQ(table.front().id, 61446);
    // The dialogs' and the main window's own labels follow the described texts.
    EXPECT_EQ(table.back().id, text_id::kBigIcons);
}

TEST(BuiltinTexts, EnglishFallsBackToItalianWhereNotDifferent) {
    EXPECT_EQ(BuiltinText(BuiltinLanguage::kItalian, 61492), "Si");
    EXPECT_EQ(BuiltinText(BuiltinLanguage::kEnglish, 61492), "Yes");
    EXPECT_EQ(BuiltinText(BuiltinLanguage::kEnglish, 61534), "BarCode Setup");
    EXPECT_EQ(BuiltinText(BuiltinLanguage::kEnglish, 61446),
              "Attenzione!!! Per Acquisire i documenti bisogna riempire i campi.");
    EXPECT_EQ(BuiltinText(BuiltinLanguage::kItalian, 61450),
              "Errore Apertura file Tabella di Controllo %1 \n");
    EXPECT_EQ(BuiltinText(BuiltinLanguage::kItalian, 61498),
              "Attenzione ! Non c'è spazio disponibile per effettuare l'invio dei documenti");
    EXPECT_TRUE(BuiltinText(BuiltinLanguage::kItalian, 117).empty());
    EXPECT_TRUE(BuiltinText(BuiltinLanguage::kItalian, 61448).empty());
}

TEST(TextLookup, LanguageTableOverridesBuiltinButNotTheProtectedTexts) {
    TextLookup lookup(BuiltinLanguage::kItalian);
    for (int id = 61446; id <= 61451; ++id)
        lookup.table().Add(id, "replaced");
    lookup.table().Add(61489, "Show pictures");
    lookup.table().Sort();

    for (int id : {61446, 61447, 61449, 61450, 61451}) {
        EXPECT_TRUE(TextLookup::IsBuiltinOnly(id));
        EXPECT_EQ(lookup.Text(id), BuiltinText(BuiltinLanguage::kItalian, id)) << id;
    }
    // 61448 has no built-in text, so the table's text is used.
    EXPECT_EQ(lookup.Text(61448), "replaced");
    EXPECT_EQ(lookup.Text(61489), "Show pictures");
    EXPECT_EQ(lookup.Text(61490), "Annulla Acquisizione");
}

TEST(TextLookup, EmptyTableTextFallsBackAndTableTextIgnoresBuiltin) {
    TextLookup lookup(BuiltinLanguage::kEnglish);
    lookup.table().Add(101, "");
    lookup.table().Add(61492, "");
    lookup.table().Add(102, "Send");
    lookup.table().Sort();
    EXPECT_EQ(lookup.Text(61492), "Yes");
    EXPECT_EQ(lookup.TableText(101), "");
    EXPECT_EQ(lookup.TableText(102), "Send");
    EXPECT_EQ(lookup.TableText(61489), "");
    EXPECT_EQ(lookup.Text(117), "");
}

TEST(LanguageTable, BoundedAndRefusesNonPositiveIdentifiers) {
    LanguageTable table;
    EXPECT_FALSE(table.Add(0, "zero"));
    EXPECT_FALSE(table.Add(-5, "negative"));
    for (int i = 0; i < 300; ++i)
        table.Add(1000 - i, "t" + std::to_string(i));
    ASSERT_EQ(table.entries().size(), LanguageTable::kMaxEntries);
    table.Sort();
    EXPECT_EQ(table.entries().front().id, 1000 - 249);
    EXPECT_EQ(table.entries().back().id, 1000);
}

TEST(TextLookup, FillPlaceholderReplacesEveryOccurrence) {
    EXPECT_EQ(FillPlaceholder("Tabella (%1) ok %1", "x.txt"), "Tabella (x.txt) ok x.txt");
    EXPECT_EQ(FillPlaceholder("none", "x"), "none");
}

}  // namespace
}  // namespace scantora
