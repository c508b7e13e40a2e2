#pragma once
// One routing table per routing level (application, main window, document
// window, editor view): each command the level serves is registered once
// with its update rule and its action, so that both live in one place.

#include <span>
#include <unordered_map>

#include "view/CommandIds.h"

namespace vantrel {

template <typename Target>
struct CommandRoute {
    CommandId id;
    // Decides enabled, checked and text; null means always enabled.
    void (*rule)(const Target&, CommandUi&);
    void (*action)(Target&);
};

template <typename Target>
class CommandRoutes {
public:
    // Registers routes; a later route for the same id replaces the earlier.
    void Add(std::span<const CommandRoute<Target>> routes) {
        for (const CommandRoute<Target>& route : routes) routes_[static_cast<int>(route.id)] = route;
    }
    bool Serves(CommandId id) const { return routes_.contains(static_cast<int>(id)); }
    // The state of a command this level serves; false when it serves none.
    bool Update(const Target& target, CommandId id, CommandUi& ui) const {
        const auto it = routes_.find(static_cast<int>(id));
        if (it == routes_.end()) return false;
        ui = {};
        if (it->second.rule) {
            it->second.rule(target, ui);
        } else {
            ui.enabled = true;
        }
        return true;
    }
    // Runs the action when this level serves the command and its rule allows
    // it now; false otherwise.
    bool Execute(Target& target, CommandId id) const {
        CommandUi ui;
        if (!Update(target, id, ui) || !ui.enabled) return false;
        routes_.at(static_cast<int>(id)).action(target);
        return true;
    }

private:
    std::unordered_map<int, CommandRoute<Target>> routes_;
};

}  // namespace vantrel
