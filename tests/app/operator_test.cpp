#include <gtest/gtest.h>

#include <sstream>

#include "app/console_operator.h"
#include "app/text_lookup.h"
#include "operator/choice_labels.h"
#include "operator/scripted_operator.h"

namespace scantora {
namespace {

TEST(ScriptedOperator, AnswersInOrderAndRecordsEverything) {
    ScriptedOperator op;
    op.QueueYesNo({false, true});
    op.QueueChoices({2});
    op.Inform("hello");
    EXPECT_FALSE(op.AskYesNo("first?", true));
    EXPECT_TRUE(op.AskYesNo("second?", false));
    EXPECT_EQ(op.ChooseOne("which?", {"a", "b", "c"}), 2);
    op.Beep();
    op.Stop("halt");
    EXPECT_EQ(op.unanswered(), 0);
    EXPECT_EQ(op.Messages(), (std::vector<std::string>{"hello", "halt"}));
    EXPECT_EQ(op.Count(OperatorEvent::Kind::kYesNo), 2);
    EXPECT_EQ(op.Count(OperatorEvent::Kind::kBeep), 1);
    EXPECT_EQ(op.events().back().kind, OperatorEvent::Kind::kStop);
}

TEST(ScriptedOperator, RunningOutOfAnswersTakesDefaultsAndCounts) {
    ScriptedOperator op;
    EXPECT_FALSE(op.AskYesNo("q", false));
    EXPECT_TRUE(op.AskYesNo("q", true));
    EXPECT_EQ(op.ChooseOne("c", {"a", "b", "c"}), 0);
    EXPECT_EQ(op.unanswered(), 3);
}

TEST(ConsoleOperator, ReadsAnswersAndFallsBackAtEndOfInput) {
    std::istringstream in("n\nYES\nmaybe\n3\n");
    std::ostringstream out;
    ConsoleOperator op(in, out);
    EXPECT_FALSE(op.AskYesNo("a", true));
    EXPECT_TRUE(op.AskYesNo("b", false));
    EXPECT_TRUE(op.AskYesNo("c", true));
    EXPECT_EQ(op.ChooseOne("d", {"x", "y", "z"}), 2);
    EXPECT_FALSE(op.AskYesNo("e", false));  // input exhausted
    EXPECT_EQ(op.ChooseOne("f", {"x", "y", "z"}), 0);
    op.Stop("stopped");
    EXPECT_NE(out.str().find("[stop] stopped"), std::string::npos);
    EXPECT_NE(out.str().find("3) z"), std::string::npos);
}

TEST(ChoiceButtons, ByUseAndDocumentKind) {
    TextLookup texts;
    EXPECT_EQ(ChoiceButtons(ChoiceUse::kFileExists, true, texts),
              (ChoiceLabels{"Accoda", "Riacquisisci", "Annulla Acquisizione"}));
    EXPECT_EQ(ChoiceButtons(ChoiceUse::kFileExists, false, texts),
              (ChoiceLabels{"Tutti", "Si", "Annulla Acquisizione"}));
    EXPECT_EQ(ChoiceButtons(ChoiceUse::kEndOfDocument, true, texts),
              (ChoiceLabels{"Continua la scansione del Batch Corrente", "Passa a Batch successivo",
                            "Fine Acquisizione"}));
    const ChoiceLabels single = ChoiceButtons(ChoiceUse::kEndOfDocument, false, texts);
    EXPECT_EQ(single, (ChoiceLabels{"Continua Acquisizione", "", "Fine Acquisizione"}));
    EXPECT_FALSE(ChoiceShown(single, 1));
    EXPECT_TRUE(ChoiceShown(single, 2));
    EXPECT_FALSE(ChoiceShown(single, 3));

    // The console neither offers nor takes a hidden button.
    std::istringstream in("2\n3\n");
    std::ostringstream out;
    ConsoleOperator op(in, out);
    EXPECT_EQ(op.ChooseOne("end", single), 0);
    EXPECT_EQ(op.ChooseOne("end", single), 2);
    EXPECT_EQ(out.str().find("2)"), std::string::npos);
}

}  // namespace
}  // namespace scantora
