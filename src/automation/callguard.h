#pragma once
// Whether a word-processor call is under way. While one waits for the word
// processor, the program keeps answering the window system, and a command
// that would start another (a second press of OK, a command run from a
// timer) is ignored rather than run inside the first.

namespace word {

bool callUnderWay();

// Marks a call under way for its lifetime.
class CallUnderWay {
public:
    CallUnderWay();
    ~CallUnderWay();
    CallUnderWay(const CallUnderWay&) = delete;
    CallUnderWay& operator=(const CallUnderWay&) = delete;
};

} // namespace word
