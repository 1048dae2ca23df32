// Answers modal dialogs from a test: once the named dialog is the active modal window, the
// answer runs on it (click a button, type a name). Dialogs left open past the deadline are
// closed so that a wrong answer fails the test instead of hanging it.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace xfer::testing {

class ModalScript {
 public:
  // Runs `answer` on the next visible modal dialog named `objectName`.
  void Answer(const QString& objectName, std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout,
                     [count = answered_, timer, clock, objectName, answer] {
                       QWidget* w = QApplication::activeModalWidget();
                       if (w && w->isVisible() && w->objectName() == objectName) {
                         timer->stop();
                         timer->deleteLater();
                         ++*count;
                         answer(w);
                       } else if (clock->elapsed() > 5000) {
                         timer->stop();
                         timer->deleteLater();
                         if (w) w->close();
                       }
                     });
    timer->start();
  }

  // Clicks the button `buttonName` of the dialog.
  void Click(const QString& dialogName, const QString& buttonName) {
    Answer(dialogName, [buttonName](QWidget* w) {
      auto* b = w->findChild<QPushButton*>(buttonName);
      if (b) {
        QTest::mouseClick(b, Qt::LeftButton);
      } else {
        w->close();
      }
    });
  }

  int answered() const { return *answered_; }

 private:
  std::shared_ptr<int> answered_ = std::make_shared<int>(0);
};

}  // namespace xfer::testing
