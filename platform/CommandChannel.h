#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace varnoset {

// Where later starts of the program, run by the same user, send their commands to the running
// copy. A message is one line; anything larger than the channel takes is dropped unread. The
// sender hears at once whether its message was understood, then waits for how the command ended.
class CommandChannel {
public:
    // Tells the sender how its command ended: no failure when it was carried out, else why not.
    // Called once; a sender that has gone meanwhile is not told.
    using Answer = std::function<void(const std::optional<QString>& failure)>;
    // Reads one message and tells whether it was understood. For an understood one the handler
    // (or whoever it hands the answer to) calls the answer once the command has ended.
    using Handler = std::function<bool(const QByteArray& message, Answer answer)>;

    virtual ~CommandChannel() = default;
    // Starts listening under the name, replacing what a crashed copy left there; false (with a
    // line on standard error) when that is impossible: the program then runs without commands.
    virtual bool listen(const std::string& name, Handler handler) = 0;
};

}  // namespace varnoset
