// Loading a module for the tool's commands, through the game's own file callbacks.
#include <cstdio>

#include "app/ShellFiles.h"
#include "music/SongApi.h"
#include "tools/karvex-xm/KarvexXm.h"

Song* loadForTool(const char* path)
{
    setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell);
    Song* song = loadSong(path);
    if (song == nullptr) {
        std::fprintf(stderr, "karvex-xm: cannot load %s as an XM module\n", path);
    }
    return song;
}
