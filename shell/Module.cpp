#include "shell/Module.hpp"

#include "shell/ModuleContext.hpp"

namespace vrk {

bool Module::start()
{
    started = false;
    startFailed = true;
    if (!onStart())
        return false;
    started = true;
    startFailed = false;
    return true;
}

void Module::stop()
{
    onStop();
    started = false;
}

void Module::update(int lagMicroseconds)
{
    if (!started) {
        // The failure line is out; leave rather than show a module that is not there.
        if (startFailed || leavesUnlessStarted) {
            startFailed = false;
            onFailedStart();
        }
        return;
    }
    onUpdate(lagMicroseconds);
}

void Module::draw()
{
    if (started)
        onDraw();
}

void Module::onFailedStart()
{
    shellContext.failRun();
    shellContext.popState(false);
}

} // namespace vrk
