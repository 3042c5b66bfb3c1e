#include "game/TaskList.hpp"

namespace vrk {

void TaskList::schedule(TimedTask::Callback callback, std::vector<int> parameters)
{
    if (callback)
        tasks.push_back(TimedTask{callback, std::move(parameters)});
}

void TaskList::run(GameContext& game)
{
    for (auto task = tasks.begin(); task != tasks.end();) {
        if (task->callback(game, task->parameters))
            task = tasks.erase(task);
        else
            ++task;
    }
}

} // namespace vrk
