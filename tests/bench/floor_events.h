// The two events by which the bench and the floor program meet: the floor
// sets the first once every key is saved, then waits for the second, so that
// the bench can read its memory at that point, as it reads the compactor's
// at its ready list.
#pragma once

const char FloorSavedEvent[] = "Quillstone bench: floor saved";
const char FloorMayEndEvent[] = "Quillstone bench: floor may end";
