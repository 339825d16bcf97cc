#pragma once
// A one-line label that takes the width its layout gives it, never more, and shortens its
// text in the middle to fit; the whole text is its tool tip. For long device paths.
#include <QLabel>
#include <QString>

namespace tabellan {

class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void SetFullText(const QString& text);
    const QString& FullText() const { return full_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Elide();

    QString full_;
};

}  // namespace tabellan
