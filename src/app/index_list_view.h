#pragma once
// The sorted index list. Besides the list's own behaviour it reports a selection the user
// made (a click, or a keyboard move) apart from selections the program sets, and the two
// keys of the list: Delete (with a card selected) and Insert.
#include <QListView>

namespace tabellan {

class IndexListView : public QListView {
    Q_OBJECT
  public:
    explicit IndexListView(QWidget* parent = nullptr);

    int SelectedRow() const;  // -1 when none
    // -1 clears the selection and leaves no current row, so the first Down goes to the
    // first card; not reported as a user selection.
    void SelectRow(int row);

    // After a refill no row is current either (the list would otherwise make the first one
    // current when it gets the focus, and Down would skip it).
    void reset() override;

  signals:
    void UserSelected();
    void DeletePressed();
    void InsertPressed();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    bool byKeyboard_ = false;
};

}  // namespace tabellan
