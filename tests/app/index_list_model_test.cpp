// The index list's model follows the card set's inserts, removals and moves.
#include "app/index_list_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QStringList>

#include "cardfile/card_set.h"

namespace tabellan {
namespace {

QStringList Rows(const QAbstractItemModel& model) {
    QStringList rows;
    for (int i = 0; i < model.rowCount(); ++i) {
        rows << model.index(i, 0).data().toString();
    }
    return rows;
}

class IndexListModelTest : public ::testing::Test {
  protected:
    IndexListModelTest() {
        for (const char* index : {"Adams", "Jones", "Smith"}) {
            cards.Insert(Card{{index, "body"}});
        }
    }
    CardSet cards;
    IndexListModel model{cards};
    // Checks the model's answers against its own signals after every change.
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QSignalSpy resets{&model, &QAbstractItemModel::modelReset};
};

TEST_F(IndexListModelTest, InsertsRemovalsAndMovesAreReportedAsSuch) {
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    cards.Insert(Card{{"Brown"}});
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 1);
    EXPECT_EQ(Rows(model), (QStringList{"Adams", "Brown", "Jones", "Smith"}));

    cards.RemoveAt(2);
    ASSERT_EQ(removed.size(), 1);
    EXPECT_EQ(removed[0][1].toInt(), 2);
    EXPECT_EQ(Rows(model), (QStringList{"Adams", "Brown", "Smith"}));

    cards.CommitLines(0, {"Adams", "new body"}, nullptr);  // stays: only its row changes
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(moved.size(), 0);

    cards.CommitLines(0, {"Zeta"}, nullptr);  // to the end
    cards.CommitLines(2, {"Able"}, nullptr);  // back to the front
    EXPECT_EQ(moved.size(), 2);
    EXPECT_EQ(Rows(model), (QStringList{"Able", "Brown", "Smith"}));
    EXPECT_EQ(resets.size(), 0);

    cards.Clear();
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(IndexListModelTest, ARowFollowsItsCardWhenACommitMovesIt) {
    QPersistentModelIndex jones(model.index(1, 0));
    QPersistentModelIndex smith(model.index(2, 0));
    cards.CommitLines(1, {"Zimmer"}, nullptr);
    EXPECT_EQ(jones.row(), 2);
    EXPECT_EQ(jones.data().toString(), "Zimmer");
    EXPECT_EQ(smith.row(), 1);
    cards.Insert(Card{{"Aaron"}});
    EXPECT_EQ(smith.row(), 2);
    cards.RemoveAt(2);
    EXPECT_FALSE(smith.isValid());
    EXPECT_EQ(jones.row(), 2);
}

TEST_F(IndexListModelTest, ABulkLoadIsOneRefreshAndLaterChangesCatchUp) {
    cards.AppendUnsorted(Card{{"Baker"}});
    cards.AppendUnsorted(Card{{"Able"}});
    EXPECT_EQ(model.rowCount(), 3);  // not told yet
    // A change after an unreported load cannot be a single row: the whole list is read.
    cards.Insert(Card{{"Cole"}});
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(Rows(model), (QStringList{"Able", "Adams", "Baker", "Cole", "Jones", "Smith"}));
    cards.AppendUnsorted(Card{{"Dean"}});
    cards.SortPending();
    model.Refresh();
    EXPECT_EQ(model.rowCount(), 7);
}

TEST(IndexListModelLifetimeTest, TheSetForgetsAModelThatIsGone) {
    CardSet cards;
    {
        IndexListModel model(cards);
        cards.Insert(Card{{"A"}});
        EXPECT_EQ(model.rowCount(), 1);
    }
    cards.Insert(Card{{"B"}});  // no observer left to call
    EXPECT_EQ(cards.Count(), 2);
}

}  // namespace
}  // namespace tabellan
