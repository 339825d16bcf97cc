#pragma once
// The card editor: a plain-text editor that refuses typed or pasted text beyond its
// capacity, counted like card text (a line break as CR LF). Text set by the program is not
// limited, so an over-long card still loads and the window can warn about it.
#include <QPlainTextEdit>

namespace tabellan {

class CardMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit CardMemo(QWidget* parent = nullptr);

    void SetCapacity(int capacity) { capacity_ = capacity; }
    int Capacity() const { return capacity_; }
    // Room left for user input, in card text characters.
    int Room() const;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

  private:
    int SelectedCardLength() const;
    int capacity_ = 32768;
};

}  // namespace tabellan
