#include "arb_setup_file.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "front_panel_state.h"
#include "menu_groups.h"
#include "user_interface.h"
#include "waveform_files.h"

namespace {

using nlohmann::json;

constexpr const char* kFormat = "kq7120-arb-setup";
constexpr int kVersion = 1;
constexpr const char* kSetupPattern = "*.json";
// No set-up comes near this; a bigger file is not one.
constexpr std::streamsize kSetupFileMax = 1 << 20;

// Reading fails with the first reason found.
struct SetupError {
    std::string reason;
};

const json& member(const json& object, const char* key) {
    if (!object.is_object() || !object.contains(key))
        throw SetupError{std::string("\"") + key + "\" is missing"};
    return object.at(key);
}

int integer(const json& object, const char* key, int low, int high) {
    const json& value = member(object, key);
    if (!value.is_number_integer() || value.get<long long>() < low || value.get<long long>() > high)
        throw SetupError{std::string("\"") + key + "\" must be a whole number from " + std::to_string(low) +
                         " to " + std::to_string(high)};
    return static_cast<int>(value.get<long long>());
}

const json& array(const json& object, const char* key, std::size_t maxSize) {
    const json& value = member(object, key);
    if (!value.is_array() || value.size() > maxSize)
        throw SetupError{std::string("\"") + key + "\" must be a list of at most " + std::to_string(maxSize) +
                         " entries"};
    return value;
}

ArbDefinition readSetup(const json& root) {
    if (!root.is_object() || !root.contains("format") || root.at("format") != kFormat)
        throw SetupError{"it is not an ARB set-up"};
    if (integer(root, "version", 0, 1000000) != kVersion)
        throw SetupError{"its version is not " + std::to_string(kVersion)};

    ArbDefinition definition;
    for (const json& channel : array(root, "channels", kArbChannels)) {
        if (!channel.is_number_integer() || channel.get<long long>() < 1 ||
            channel.get<long long>() > kArbChannels)
            throw SetupError{"\"channels\" must hold channel numbers from 1 to 16"};
        definition.channelEnabled[channel.get<std::size_t>() - 1] = 1;
    }
    for (const json& entry : array(root, "segments", kArbMaxSegments)) {
        ArbSegment& segment = definition.segments[static_cast<std::size_t>(definition.segmentCount)];
        segment.segmentNumber = integer(entry, "segment", 0, kq7120_MAX_SEGMENT);
        for (int i = 0; i < definition.segmentCount; ++i)
            if (definition.segments[static_cast<std::size_t>(i)].segmentNumber == segment.segmentNumber)
                throw SetupError{"segment " + std::to_string(segment.segmentNumber) + " is there twice"};
        for (const json& file : array(entry, "files", kArbChannels)) {
            ArbSegmentEntry& added = segment.entries[static_cast<std::size_t>(segment.entryCount)];
            added.channel = integer(file, "channel", 1, kArbChannels);
            const json& path = member(file, "path");
            if (!path.is_string() || path.get<std::string>().size() > kWaveformPathMax)
                throw SetupError{"a \"path\" must be a text of at most 259 characters"};
            added.path = path.get<std::string>();
            for (int i = 0; i < segment.entryCount; ++i)
                if (segment.entries[static_cast<std::size_t>(i)].channel == added.channel)
                    throw SetupError{"segment " + std::to_string(segment.segmentNumber) + " has channel " +
                                     std::to_string(added.channel) + " twice"};
            ++segment.entryCount;
        }
        ++definition.segmentCount;
    }
    for (const json& entry : array(root, "steps", kArbMaxSteps)) {
        ArbStep& step = definition.steps[static_cast<std::size_t>(definition.stepCount)];
        step.segmentNumber = integer(entry, "segment", 0, kq7120_MAX_SEGMENT);
        bool defined = false;
        for (int i = 0; i < definition.segmentCount; ++i)
            defined = defined ||
                      definition.segments[static_cast<std::size_t>(i)].segmentNumber == step.segmentNumber;
        if (!defined)
            throw SetupError{"a step plays segment " + std::to_string(step.segmentNumber) +
                             ", which is not defined"};
        step.start = integer(entry, "start", 0, 1);
        step.advance = integer(entry, "advance", 0, 1);
        step.marker = integer(entry, "marker", 0, 1);
        step.repeat = integer(entry, "repeat", 0, 32767);
        ++definition.stepCount;
    }
    definition.dataFormat = integer(root, "dataFormat", 0, 1);
    definition.markerState = integer(root, "markerState", 0, 1);
    definition.markerSlope = integer(root, "markerSlope", 0, 1);
    return definition;
}

// The main panel is dimmed while a dialog is up; the set-up is not changed under an open panel.
bool mainPanelFree() {
    int dimmed = 0;
    GetPanelAttribute(frontPanel().mainPanel, UI_ATTR_DIMMED, &dimmed);
    return dimmed == 0;
}

}  // namespace

std::string arbSetupText(const ArbDefinition& definition) {
    json root = {{"format", kFormat}, {"version", kVersion}};
    json channels = json::array();
    for (int i = 0; i < kArbChannels; ++i)
        if (definition.channelEnabled[static_cast<std::size_t>(i)] != 0) channels.push_back(i + 1);
    root["channels"] = channels;
    json segments = json::array();
    for (int s = 0; s < definition.segmentCount; ++s) {
        const ArbSegment& segment = definition.segments[static_cast<std::size_t>(s)];
        json files = json::array();
        for (int e = 0; e < segment.entryCount; ++e) {
            const ArbSegmentEntry& entry = segment.entries[static_cast<std::size_t>(e)];
            files.push_back({{"channel", entry.channel}, {"path", entry.path}});
        }
        segments.push_back({{"segment", segment.segmentNumber}, {"files", files}});
    }
    root["segments"] = segments;
    json steps = json::array();
    for (int i = 0; i < definition.stepCount; ++i) {
        const ArbStep& step = definition.steps[static_cast<std::size_t>(i)];
        steps.push_back({{"segment", step.segmentNumber},
                         {"start", step.start},
                         {"advance", step.advance},
                         {"marker", step.marker},
                         {"repeat", step.repeat}});
    }
    root["steps"] = steps;
    root["dataFormat"] = definition.dataFormat;
    root["markerState"] = definition.markerState;
    root["markerSlope"] = definition.markerSlope;
    return root.dump(2) + "\n";
}

bool parseArbSetup(const std::string& text, ArbDefinition* definition, std::string* error) {
    const json root = json::parse(text, nullptr, false);
    if (root.is_discarded()) {
        *error = "it is not a JSON file";
        return false;
    }
    try {
        *definition = readSetup(root);
        return true;
    } catch (const SetupError& fault) {
        *error = fault.reason;
        return false;
    }
}

void mnuSaveArbSetup(int, const char*, int) {
    if (!mainPanelFree()) return;
    std::string path;
    if (FileSavePopup("", "arb-setup.json", kSetupPattern, "Save ARB Set-up", &path) == 0) return;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << arbSetupText(arbDefinition());
    file.close();
    if (!file) MessagePopup("ERROR", ("Cannot write the ARB set-up " + path).c_str());
}

void mnuOpenArbSetup(int, const char*, int) {
    if (!mainPanelFree()) return;
    std::string path;
    if (FileSelectPopup("", kSetupPattern, "", "Open ARB Set-up", "Open", 1, &path) == 0) return;
    std::ifstream file(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(kSetupFileMax) + 1, '\0');
    file.read(text.data(), kSetupFileMax + 1);
    text.resize(static_cast<std::size_t>(file.gcount()));
    std::string reason;
    if (!file.is_open())
        reason = "it cannot be read";
    else if (static_cast<std::streamsize>(text.size()) > kSetupFileMax)
        reason = "it is too big";
    ArbDefinition opened;
    if (reason.empty() && parseArbSetup(text, &opened, &reason)) {
        arbDefinition() = opened;
        DisableArbMenuItems();
        EnableArbMenuItems();
        return;
    }
    MessagePopup("ERROR", ("Cannot open the ARB set-up " + path + ": " + reason + ".").c_str());
}
