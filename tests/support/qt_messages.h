// Qt's messages, collected from every thread while an instance lives; a
// new instance starts an empty list.
//
//   testsupport::QtMessages messages;
//   ... code that logs ...
//   messages.list()[0].text;   // "[layer] msg data is null."
#pragma once

#include <QString>
#include <QtGlobal>

#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

struct QtMessage {
    QtMsgType type;
    std::string category, function, text;
};

class QtMessages {
public:
    QtMessages() {
        std::lock_guard<std::mutex> lock(mutex());
        all().clear();
        m_old = qInstallMessageHandler(&collect);
    }
    ~QtMessages() { qInstallMessageHandler(m_old); }
    QtMessages(const QtMessages&) = delete;
    QtMessages& operator=(const QtMessages&) = delete;

    std::vector<QtMessage> list() const {
        std::lock_guard<std::mutex> lock(mutex());
        return all();
    }

private:
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
    static std::vector<QtMessage>& all() {
        static std::vector<QtMessage> messages;
        return messages;
    }
    static void collect(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        std::lock_guard<std::mutex> lock(mutex());
        all().push_back({type, context.category ? context.category : "",
                         context.function ? context.function : "", text.toStdString()});
    }

    QtMessageHandler m_old;
};

} // namespace testsupport
