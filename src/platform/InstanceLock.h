#pragma once
// Tells whether another instance of the program is already running for this user: the first
// instance holds a lock file until it ends (a crashed instance's lock is taken over).

#include <QString>
#include <memory>

class QLockFile;

namespace quarbel::platform {

class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // True when this process now holds the lock, false when another instance holds it.
    virtual bool acquire() = 0;
};

// A QLockFile in the user's runtime folder (or the temporary folder). The key names the lock
// file; it defaults to the environment variable QUARBEL_INSTANCE_KEY, or "quarbel".
class FileInstanceLock : public InstanceLock {
public:
    explicit FileInstanceLock(QString key = {});
    ~FileInstanceLock() override;
    bool acquire() override;
    QString path() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace quarbel::platform
