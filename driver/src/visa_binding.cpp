#include "visa_binding.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <type_traits>
#include <utility>

namespace kq7120::visa {
namespace {

constexpr const char* kDefaultLibrary = "libvisa.so";
constexpr const char* kLibraryVariable = "KQ7120_VISA_LIBRARY";

// A lab PC's VISA is not always on the loader's path as libvisa.so; the variable names it by path.
std::string chosenLibrary() {
    const char* chosen = std::getenv(kLibraryVariable);
    return chosen && *chosen ? chosen : kDefaultLibrary;
}

struct Operations {
    decltype(&::viOpenDefaultRM) openDefaultRM = nullptr;
    decltype(&::viOpen) open = nullptr;
    decltype(&::viClose) close = nullptr;
    decltype(&::viFindRsrc) findRsrc = nullptr;
    decltype(&::viFindNext) findNext = nullptr;
    decltype(&::viGetAttribute) getAttribute = nullptr;
    decltype(&::viWrite) write = nullptr;
    decltype(&::viRead) read = nullptr;
    decltype(&::viStatusDesc) statusDesc = nullptr;
    decltype(&::viSetAttribute) setAttribute = nullptr;
    decltype(&::viOut16) out16 = nullptr;
    decltype(&::viMoveOut16) moveOut16 = nullptr;
    decltype(&::viMapAddress) mapAddress = nullptr;
    decltype(&::viPeek16) peek16 = nullptr;
    decltype(&::viUnmapAddress) unmapAddress = nullptr;
    decltype(&::viPrintf) printf = nullptr;
    decltype(&::viQueryf) queryf = nullptr;
};

class Binding {
public:
    // The operations, loading the library first if it is not loaded yet. Null when it cannot be
    // loaded; the next call tries again, so a VISA installed later is picked up. The table is
    // published only once it is complete, so a thread that finds it never sees a loaded library
    // with operations still missing, and threads arriving together load the library once.
    const Operations* operations() {
        if (const Operations* ready = published_.load(std::memory_order_acquire)) return ready;
        const std::lock_guard lock(loading_);
        if (!published_.load(std::memory_order_relaxed)) load();
        return published_.load(std::memory_order_relaxed);
    }

    void use(std::string fileName) {
        const std::lock_guard lock(loading_);
        unload();
        fileName_ = std::move(fileName);
        reported_ = false;
    }

private:
    template <typename Function>
    void resolve(Function& target, const char* name) {
        target = reinterpret_cast<Function>(dlsym(library_, name));
        if (!target && !missing_) missing_ = name;
    }

    // Every call fails with VI_ERROR_LIBRARY_NFOUND then, so the reason is worth saying once.
    void report(const std::string& reason) {
        if (reported_) return;
        reported_ = true;
        std::fprintf(stderr,
                     "kq7120: cannot use the VISA library %s: %s\n"
                     "kq7120: set %s to the path of a VISA library, or put the simulator's "
                     "lib/kq7120-sim folder on LD_LIBRARY_PATH\n",
                     fileName_.c_str(), reason.c_str(), kLibraryVariable);
    }

    void load() {
        library_ = dlopen(fileName_.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library_) {
            const char* reason = dlerror();
            report(reason ? reason : "it cannot be loaded");
            return;
        }
        missing_ = nullptr;
        resolve(operations_.openDefaultRM, "viOpenDefaultRM");
        resolve(operations_.open, "viOpen");
        resolve(operations_.close, "viClose");
        resolve(operations_.findRsrc, "viFindRsrc");
        resolve(operations_.findNext, "viFindNext");
        resolve(operations_.getAttribute, "viGetAttribute");
        resolve(operations_.write, "viWrite");
        resolve(operations_.read, "viRead");
        resolve(operations_.statusDesc, "viStatusDesc");
        resolve(operations_.setAttribute, "viSetAttribute");
        resolve(operations_.out16, "viOut16");
        resolve(operations_.moveOut16, "viMoveOut16");
        resolve(operations_.mapAddress, "viMapAddress");
        resolve(operations_.peek16, "viPeek16");
        resolve(operations_.unmapAddress, "viUnmapAddress");
        resolve(operations_.printf, "viPrintf");
        resolve(operations_.queryf, "viQueryf");
        if (missing_) {
            report(std::string("it has no ") + missing_);
            unload();
            return;
        }
        published_.store(&operations_, std::memory_order_release);
    }

    void unload() {
        published_.store(nullptr, std::memory_order_release);
        if (library_) dlclose(library_);
        library_ = nullptr;
        operations_ = {};
    }

    std::mutex loading_;
    std::atomic<const Operations*> published_ = nullptr;
    std::string fileName_ = chosenLibrary();
    void* library_ = nullptr;
    Operations operations_;
    const char* missing_ = nullptr;
    bool reported_ = false;
};

Binding& binding() {
    static Binding instance;
    return instance;
}

// Calls one operation, or reports the missing library (or a library without that operation).
template <auto Member, typename... Args>
ViStatus call(Args... args) {
    const Operations* operations = binding().operations();
    if (!operations || !(operations->*Member)) return VI_ERROR_LIBRARY_NFOUND;
    return (operations->*Member)(args...);
}

// The operation itself, or null when it cannot be called.
template <auto Member>
auto operation() -> std::remove_reference_t<decltype(std::declval<Operations>().*Member)> {
    const Operations* operations = binding().operations();
    return operations ? operations->*Member : nullptr;
}

}  // namespace

ViStatus openDefaultRM(ViSession* resourceManager) {
    return call<&Operations::openDefaultRM>(resourceManager);
}

ViStatus open(ViSession resourceManager, ViConstRsrc descriptor, ViSession* session) {
    return call<&Operations::open>(resourceManager, descriptor, ViAccessMode{VI_NULL}, ViUInt32{VI_NULL},
                                   session);
}

ViStatus close(ViObject object) { return call<&Operations::close>(object); }

ViStatus findRsrc(ViSession resourceManager, ViConstString expression, ViFindList* list, ViUInt32* count,
                  ViChar descriptor[]) {
    return call<&Operations::findRsrc>(resourceManager, expression, list, count, descriptor);
}

ViStatus findNext(ViFindList list, ViChar descriptor[]) {
    return call<&Operations::findNext>(list, descriptor);
}

ViStatus getAttribute(ViObject object, ViAttr attribute, void* value) {
    return call<&Operations::getAttribute>(object, attribute, value);
}

ViStatus write(ViSession session, const void* bytes, ViUInt32 count, ViUInt32* written) {
    return call<&Operations::write>(session, static_cast<ViConstBuf>(bytes), count, written);
}

ViStatus read(ViSession session, void* buffer, ViUInt32 count, ViUInt32* received) {
    return call<&Operations::read>(session, static_cast<ViPBuf>(buffer), count, received);
}

ViStatus statusDesc(ViObject object, ViStatus status, ViChar text[]) {
    return call<&Operations::statusDesc>(object, status, text);
}

ViStatus setAttribute(ViObject object, ViAttr attribute, ViAttrState value) {
    return call<&Operations::setAttribute>(object, attribute, value);
}

ViStatus out16(ViSession session, ViUInt16 space, ViBusAddress offset, ViUInt16 value) {
    return call<&Operations::out16>(session, space, offset, value);
}

ViStatus moveOut16(ViSession session, ViUInt16 space, ViBusAddress offset, ViBusSize count,
                   const ViUInt16 words[]) {
    // VISA's prototype takes a non-const buffer; a move out only reads it.
    return call<&Operations::moveOut16>(session, space, offset, count, const_cast<ViUInt16*>(words));
}

ViStatus mapAddress(ViSession session, ViUInt16 space, ViBusAddress offset, ViBusSize size, ViAddr* address) {
    return call<&Operations::mapAddress>(session, space, offset, size, ViBoolean{VI_FALSE}, ViAddr{VI_NULL},
                                         address);
}

ViStatus peek16(ViSession session, ViAddr address, ViUInt16* value) {
    const auto peek = operation<&Operations::peek16>();
    if (!peek) return VI_ERROR_LIBRARY_NFOUND;
    peek(session, address, value);
    return VI_SUCCESS;
}

ViStatus unmapAddress(ViSession session) { return call<&Operations::unmapAddress>(session); }

PrintfOperation printfOperation() { return operation<&Operations::printf>(); }

QueryfOperation queryfOperation() { return operation<&Operations::queryf>(); }

void useLibrary(std::string fileName) { binding().use(std::move(fileName)); }

}  // namespace kq7120::visa
