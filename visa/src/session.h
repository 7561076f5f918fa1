// The objects a caller holds handles to: resource-manager sessions, instrument sessions and find
// lists, kept in one process-wide table.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "attribute_table.h"
#include "kqsim/mainframe.h"
#include "module_port.h"
#include "resource_name.h"

namespace kqvisa {

// A module as the library presents it: its descriptor and what the mainframe knows about it.
struct ResourceDetails {
    ResourceName name;
    std::string descriptor;  // canonical spelling
    kqsim::MountedModule module;
};

// The resources of the mainframe in use, in its order.
std::vector<ResourceDetails> mainframeResources();

// Values of the attributes a caller may set, starting from their defaults.
class AttributeSettings {
public:
    explicit AttributeSettings(unsigned owner);
    std::optional<ViAttrState> find(ViAttr id) const;
    ViAttrState get(ViAttr id) const;
    void set(ViAttr id, ViAttrState value);

private:
    std::vector<std::pair<ViAttr, ViAttrState>> values_;
};

// Buffers of the formatted I/O operations.
struct FormattedBuffers {
    std::string pendingWrite;
    std::string readData;
    std::size_t readPosition = 0;
    bool readEndsMessage = false;  // the last byte of readData ended a message

    void discardRead();
};

inline constexpr ViBusSize kRegisterBlockSize = 0x40;  // A16 device registers of one module

struct MappedWindow {
    ViBusAddress offset = 0;
    ViBusSize size = 0;
    // What the returned address points at: callers use viPeek16/viPoke16, but a caller that
    // dereferences the address anyway reads harmless memory rather than crashing.
    std::array<std::uint16_t, kRegisterBlockSize / 2> addressTarget{};
};

struct ResourceManagerSession {
    std::mutex mutex;
    AttributeSettings settings{kOwnedByResourceManager};
};

struct InstrumentSession {
    ViSession id = 0;
    ResourceDetails resource;
    std::shared_ptr<ModulePort> port;

    std::mutex mutex;  // held for the length of one operation on the session
    AttributeSettings settings{kOwnedByInstrument};
    FormattedBuffers formatted;
    std::unique_ptr<MappedWindow> window;
    std::atomic<bool> closed{false};  // ends a transfer still waiting on the module
};

struct FindList {
    std::mutex mutex;
    std::vector<std::string> matches;
    std::size_t next = 1;  // viFindRsrc already returned the first
};

class SessionTable {
public:
    ViSession addResourceManager();
    // 0 when `resourceManager` was closed in the meantime.
    ViSession addInstrument(ViSession resourceManager, std::shared_ptr<InstrumentSession> session);
    ViSession addFindList(ViSession resourceManager, std::shared_ptr<FindList> list);

    std::shared_ptr<ResourceManagerSession> resourceManager(ViSession id) const;
    std::shared_ptr<InstrumentSession> instrument(ViSession id) const;
    std::shared_ptr<FindList> findList(ViSession id) const;
    bool contains(ViSession id) const;
    // Descriptor of an instrument session, "" for anything else.
    std::string resourceOf(ViSession id) const;

    // Closing a resource manager closes everything opened from it. False for an unknown handle.
    bool close(ViSession id);

private:
    using Object = std::variant<std::shared_ptr<ResourceManagerSession>, std::shared_ptr<InstrumentSession>,
                                std::shared_ptr<FindList>>;
    struct Entry {
        Object object;
        ViSession owner = VI_NULL;  // the resource manager it was opened from
    };

    ViSession add(Object object, ViSession owner);
    // Whether `id` is an open resource manager; the caller holds the mutex.
    bool isResourceManager(ViSession id) const;
    template <class T>
    std::shared_ptr<T> lookup(ViSession id) const;

    mutable std::mutex mutex_;
    ViSession lastId_ = VI_NULL;
    std::map<ViSession, Entry> entries_;
};

SessionTable& sessionTable();

}  // namespace kqvisa
