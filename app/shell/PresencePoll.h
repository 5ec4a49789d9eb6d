// Polls the HID list and calls a handler when the set of interfaces changed.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace shell {

class PresencePoll final : public QObject {
    Q_OBJECT
  public:
    PresencePoll(std::function<void()> onChange, int intervalMs, QObject* parent = nullptr);

  private:
    void check();
    static std::vector<std::wstring> listPaths();

    std::function<void()> onChange_;
    std::vector<std::wstring> last_;
    QTimer timer_;
};

} // namespace shell
