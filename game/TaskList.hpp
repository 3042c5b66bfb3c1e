#pragma once

#include <list>
#include <vector>

namespace vrk {

class GameContext;

struct TimedTask {
    // Called once per step with its parameters, which it may change; true when finished.
    using Callback = bool (*)(GameContext& game, std::vector<int>& parameters);
    Callback callback = nullptr;
    std::vector<int> parameters;
};

// Jobs that run once per step until they report completion: door movements, the opening.
class TaskList {
public:
    void schedule(TimedTask::Callback callback, std::vector<int> parameters);
    // Each task in order; a finished one is removed.
    void run(GameContext& game);
    // Drops every pending task unrun.
    void clear() { tasks.clear(); }

    const std::list<TimedTask>& pending() const { return tasks; }
    std::size_t size() const { return tasks.size(); }
    bool empty() const { return tasks.empty(); }

private:
    std::list<TimedTask> tasks;
};

} // namespace vrk
