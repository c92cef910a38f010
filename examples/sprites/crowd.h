#pragma once
/// \file
/// A crowd of bouncing creatures: two sprites own the frames and the animation sequences, and
/// every member of the crowd is a clone that borrows them and has its own place, speed and
/// animation. The sprites example shows it; the scaling benchmark draws it by the thousand.
#include <cstdint>
#include <vector>

#include <zarn/zarn.h>

enum {
    CROWD_KINDS = 2,   ///< green creatures rebound from the screen's edges, blue ones wrap round
    CROWD_FRAMES = 8,  ///< six poses of a bounce, a blink, a startled face
    CROWD_SIZE = 32,   ///< each frame is 32 x 32
    CROWD_FLASH = 8,   ///< frames a startled creature keeps its startled sequence
};

/// The animation sequences every creature can play (slots of the owners' sequences).
enum { SEQUENCE_BOUNCE = 0, SEQUENCE_IDLE = 1, SEQUENCE_STARTLED = 2 };

struct Crowd {
    BOB owners[CROWD_KINDS];     ///< hold the frames and sequences; never drawn themselves
    std::vector<BOB> members;    ///< clones of an owner
    std::vector<int32_t> kind;   ///< which owner each member was cloned from
    std::vector<int32_t> flash;  ///< frames left of each member's startled sequence
    std::vector<int32_t> calm;   ///< the sequence each member goes back to
    uint32_t seed;               ///< the crowd's own random numbers, so every run is the same
};

/// Makes the two owners from the sheet's two rows of CROWD_FRAMES cells (green, then blue) and
/// gives them their sequences. The crowd starts empty. 1; 0 when a frame could not be made or
/// cut (what was made stays for crowd_release).
int crowd_load(Crowd* crowd, const BmpFile* sheet);
/// Adds count members at places and speeds of the crowd's own random choosing, alternately
/// green and blue. The number of members afterwards.
int crowd_add(Crowd* crowd, int32_t count);
/// Lets the last count members go (fewer when there are not so many). The number left.
int crowd_remove(Crowd* crowd, int32_t count);
/// One frame of life: every member is animated and moved.
void crowd_move(Crowd* crowd);
/// Tests every pair of members for overlap; both members of a pair that overlap play their
/// startled sequence for CROWD_FLASH frames. The number of overlapping pairs.
int crowd_collide(Crowd* crowd);
/// Draws every member onto the surface (not locked), colour 0 transparent. Members drawn.
int crowd_draw(const Crowd* crowd, PlatSurface* dest);
/// Lets every member go, then the owners' frames and sequences.
void crowd_release(Crowd* crowd);
