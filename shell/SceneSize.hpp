#pragma once

namespace vrk {

// The scene that every module draws into, in scene units; the window shows it scaled.
constexpr int SceneWidth = 1920;
constexpr int SceneHeight = 1080;

} // namespace vrk
