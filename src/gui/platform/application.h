#pragma once

#include <QApplication>
#include <QFont>
#include <functional>

namespace kq {

// The program's application object. Its notify is the last-resort boundary around every event
// delivery: an exception that escapes a handler (a storage failure no window caught, a damaged
// file read while painting) shows its message and the program keeps running, where it would
// otherwise end the program.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs one event delivery and catches what escapes it: the message goes to the general error
// handler on the user-interface thread and the result is false. While that message is shown, a
// further failure (a handler failing at every repaint) is only logged, so that message boxes
// cannot pile up.
bool DeliverGuarded(const std::function<bool()>& deliver);

// The font of the main window and the punch screen: SimSun at 12 pixels, or the nearest CJK face.
QFont StationFont();

} // namespace kq
