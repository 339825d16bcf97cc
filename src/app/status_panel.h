#pragma once
// A panel of the status bar that never cuts its text at the end: a text too long for the
// panel is shortened in the middle (so "Saving ...name.csv..." keeps its end) and shown whole
// as the panel's tool tip. text() is always the whole text.
#include <QLabel>
#include <QStringList>

namespace tabellan {

class StatusPanel : public QLabel {
    Q_OBJECT
  public:
    explicit StatusPanel(QWidget* parent);

    // Makes the panel wide enough for each of texts at its font, and at least minimumWidth;
    // again whenever the font changes.
    void FitWidthTo(const QStringList& texts, int minimumWidth);

    // The text as the panel shows it, and whether it had to be shortened.
    QString ShownText() const;
    bool Shortened() const { return ShownText() != text(); }

  protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    int TextInset() const;
    void ApplyFit();

    QStringList fitTexts_;
    int minimumWidth_ = 0;
};

}  // namespace tabellan
