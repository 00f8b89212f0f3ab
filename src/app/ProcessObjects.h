// The process-wide objects, created in dependency order by the program entry and
// destroyed in reverse order when it ends. Tests create them the same way.
#pragma once

class TCProcessObjects {
public:
    TCProcessObjects();
    ~TCProcessObjects();
    TCProcessObjects(const TCProcessObjects &) = delete;
    TCProcessObjects &operator=(const TCProcessObjects &) = delete;
};
