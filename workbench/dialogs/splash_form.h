// The picture shown while the program starts. It may be closed only once it has been up for a
// while, so that it does not merely flash on a fast start.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace sondar {

class TSplashForm : public QWidget {
    Q_OBJECT

  public:
    // How long the splash stays up at least, counted from construction.
    static constexpr int kMinimumShowMs = 2500;

    explicit TSplashForm(QWidget* parent = nullptr);

    // True once kMinimumShowMs have passed since construction.
    bool canClose() const { return canClose_; }
    // Shows the window and paints it at once; the event loop is usually not running yet while
    // the program starts.
    void showAndPaint();

  Q_SIGNALS:
    // Sent once, when canClose() turns true.
    void readyToClose();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
    QTimer minimumTime_;
    bool canClose_ = false;
};

}  // namespace sondar
