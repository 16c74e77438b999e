#pragma once

// How the simulated unit's thread is scheduled. A real unit answers on time whatever the PC is
// doing, so the thread that plays it asks for a real-time slot first, then for a better nice value,
// and keeps the ordinary scheduling where the system allows neither.
enum class AnswerPriority { Ordinary, Raised, RealTime };

// Raises the calling thread as far as the system permits and returns what it got. It never fails:
// without the right to a higher priority the thread simply stays as it was.
AnswerPriority RaiseAnswerPriority();

// "real-time", "raised" or "ordinary", for the unit's start-up line.
const char* AnswerPriorityName(AnswerPriority priority);
