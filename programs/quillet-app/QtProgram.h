#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCoreApplication;

namespace quillet {

class ResourceBundle;
struct UserEnvironment;

// The toolkit started the one way every part of the application program starts it: on the
// display platform that answers (whatever QT_QPA_PLATFORM says), named and drawn as Quillet+
// (its name for settings and the desktop, its icon), and never ending because its last window
// closed, since Quillet+ lives on without windows and an alert closing must not end a command.
class QtProgram {
public:
    // What a caller needs of the toolkit.
    enum class Start {
        windows,               // windows on the display, else on Qt's window-less platform
        windowsElseEventLoop,  // windows on the display, else timers, bus replies and queued work
        windowsElseNothing,    // windows on the display, else no toolkit: the caller does without
        eventLoop,             // never windows: the session bus and queued work only
    };

    // `arguments` are the program's own, its name first; Qt takes the options it knows.
    QtProgram(std::vector<std::string> arguments, const UserEnvironment& environment,
              const ResourceBundle& resources, Start what);
    ~QtProgram();
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    // Whether windows show on a real display.
    bool hasDisplay() const { return platform_.has_value(); }

    // An event loop without windows, for a caller that started with nothing and then needs the
    // session bus after all. Nothing when the toolkit already runs.
    void startEventLoop();

private:
    void start(bool windows);

    // Qt keeps references to the arguments for the application's whole life.
    std::vector<std::string> arguments_;
    std::vector<char*> argv_;
    int argc_ = 0;
    std::optional<std::string> platform_;
    std::string iconDirectory_;
    std::string desktop_;  // $XDG_CURRENT_DESKTOP
    std::unique_ptr<QCoreApplication> application_;
};

}  // namespace quillet
