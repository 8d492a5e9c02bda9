#pragma once
// Messages of the application's own making, in UTF-8.

// No OpenGL window could be made: shown before the program exits.
inline constexpr char kStrNoOpenGL[] =
    "OpenGL の描画環境を用意できませんでした。Tarvo を終了します。";
// A rebuild did not get the memory it needed; the previous figure stays.
inline constexpr char kStrOutOfMemory[] =
    "メモリが足りないため、図形を作り直せませんでした。前の図形をそのまま表示します。";
