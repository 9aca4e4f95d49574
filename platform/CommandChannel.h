#pragma once

#include <QByteArray>
#include <functional>
#include <string>

namespace varnoset {

// Where later starts of the program, run by the same user, send their commands to the running
// copy. A message is one line; anything larger than the channel takes is dropped unread.
class CommandChannel {
public:
    // Reads one message and tells whether it was understood; the sender hears the answer.
    using Handler = std::function<bool(const QByteArray& message)>;

    virtual ~CommandChannel() = default;
    // Starts listening under the name, replacing what a crashed copy left there; false (with a
    // line on standard error) when that is impossible: the program then runs without commands.
    virtual bool listen(const std::string& name, Handler handler) = 0;
};

}  // namespace varnoset
