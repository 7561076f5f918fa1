#include "session.h"

#include <algorithm>

namespace kqvisa {

std::vector<ResourceDetails> mainframeResources() {
    const std::shared_ptr<kqsim::Mainframe> mainframe = kqsim::currentMainframe();
    std::vector<ResourceDetails> resources;
    if (!mainframe) return resources;
    for (const kqsim::MountedModule& module : mainframe->modules()) {
        ResourceDetails details;
        details.name = {mainframe->interface(), module.config.interfaceNumber, module.config.logicalAddress};
        details.descriptor = canonicalName(details.name);
        details.module = module;
        resources.push_back(std::move(details));
    }
    return resources;
}

AttributeSettings::AttributeSettings(unsigned owner) {
    for (const AttributeInfo& info : attributeTable()) {
        if (info.writable && (info.owners & owner) != 0) values_.emplace_back(info.id, info.defaultValue);
    }
}

std::optional<ViAttrState> AttributeSettings::find(ViAttr id) const {
    for (const auto& [attribute, value] : values_) {
        if (attribute == id) return value;
    }
    return std::nullopt;
}

ViAttrState AttributeSettings::get(ViAttr id) const { return find(id).value_or(0); }

void AttributeSettings::set(ViAttr id, ViAttrState value) {
    for (auto& [attribute, stored] : values_) {
        if (attribute == id) stored = value;
    }
}

void FormattedBuffers::discardRead() {
    readData.clear();
    readPosition = 0;
    readEndsMessage = false;
}

ViSession SessionTable::add(Object object, ViSession owner) {
    // Handles are never reused while the process runs, so a stale handle cannot reach a newer session.
    do {
        ++lastId_;
    } while (lastId_ == VI_NULL || entries_.contains(lastId_));
    entries_.emplace(lastId_, Entry{std::move(object), owner});
    return lastId_;
}

bool SessionTable::isResourceManager(ViSession id) const {
    const auto entry = entries_.find(id);
    return entry != entries_.end() &&
           std::holds_alternative<std::shared_ptr<ResourceManagerSession>>(entry->second.object);
}

ViSession SessionTable::addResourceManager() {
    std::lock_guard lock(mutex_);
    return add(std::make_shared<ResourceManagerSession>(), VI_NULL);
}

ViSession SessionTable::addInstrument(ViSession resourceManager, std::shared_ptr<InstrumentSession> session) {
    std::lock_guard lock(mutex_);
    if (!isResourceManager(resourceManager)) return VI_NULL;
    InstrumentSession& instrument = *session;
    instrument.id = add(std::move(session), resourceManager);
    return instrument.id;
}

ViSession SessionTable::addFindList(ViSession resourceManager, std::shared_ptr<FindList> list) {
    std::lock_guard lock(mutex_);
    if (!isResourceManager(resourceManager)) return VI_NULL;
    return add(std::move(list), resourceManager);
}

template <class T>
std::shared_ptr<T> SessionTable::lookup(ViSession id) const {
    std::lock_guard lock(mutex_);
    const auto entry = entries_.find(id);
    if (entry == entries_.end()) return nullptr;
    const auto* object = std::get_if<std::shared_ptr<T>>(&entry->second.object);
    return object ? *object : nullptr;
}

std::shared_ptr<ResourceManagerSession> SessionTable::resourceManager(ViSession id) const {
    return lookup<ResourceManagerSession>(id);
}

std::shared_ptr<InstrumentSession> SessionTable::instrument(ViSession id) const {
    return lookup<InstrumentSession>(id);
}

std::shared_ptr<FindList> SessionTable::findList(ViSession id) const { return lookup<FindList>(id); }

bool SessionTable::contains(ViSession id) const {
    std::lock_guard lock(mutex_);
    return entries_.contains(id);
}

std::string SessionTable::resourceOf(ViSession id) const {
    const std::shared_ptr<InstrumentSession> session = instrument(id);
    return session ? session->resource.descriptor : std::string();
}

bool SessionTable::close(ViSession id) {
    std::vector<Object> closed;  // released after the lock, outside the table
    {
        std::lock_guard lock(mutex_);
        const auto entry = entries_.find(id);
        if (entry == entries_.end()) return false;
        closed.push_back(std::move(entry->second.object));
        entries_.erase(entry);
        for (auto child = entries_.begin(); child != entries_.end();) {
            if (child->second.owner == id) {
                closed.push_back(std::move(child->second.object));
                child = entries_.erase(child);
            } else {
                ++child;
            }
        }
    }
    for (const Object& object : closed) {
        if (const auto* instrument = std::get_if<std::shared_ptr<InstrumentSession>>(&object)) {
            (*instrument)->closed = true;
        }
    }
    return true;
}

SessionTable& sessionTable() {
    // Never destroyed: a client may still call in from its own static destructors at exit.
    static SessionTable* const table = new SessionTable;
    return *table;
}

}  // namespace kqvisa
