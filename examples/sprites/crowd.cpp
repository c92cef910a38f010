// The crowd: two owning sprites cut from a sheet, and clones of them that move, animate and meet.
#include "crowd.h"

namespace {

// The sequences, as indices of the owners' frames. A bounce squashes on landing (frames 1, 2)
// and stretches in the air (3 to 5); standing idle, a creature blinks (6) now and then; startled,
// it shows its startled face (7) until it calms down.
const int32_t kBounce[] = {0, 1, 2, 1, 0, 3, 4, 5, 4, 3};
const int32_t kIdle[] = {0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0, 6};
const int32_t kStartled[] = {7};

uint32_t next_random(Crowd* crowd) {
    crowd->seed = crowd->seed * 1664525u + 1013904223u;
    return crowd->seed >> 8;
}

int32_t random_between(Crowd* crowd, int32_t low, int32_t high) {
    return low + static_cast<int32_t>(next_random(crowd) % static_cast<uint32_t>(high - low + 1));
}

}  // namespace

int crowd_load(Crowd* crowd, const BmpFile* sheet) {
    crowd->seed = 20240601u;
    for (int32_t k = 0; k < CROWD_KINDS; ++k) {
        // The owners carry the motion rule their clones inherit; they are never shown.
        const int32_t motion = k == 0 ? BOB_REBOUND : BOB_WRAPS;
        BOB* owner = &crowd->owners[k];
        if (!bob_create(owner, 0, 0, CROWD_SIZE, CROWD_SIZE, CROWD_FRAMES, BOB_SCRIPTED | motion, DDSCAPS_SYSTEMMEMORY))
            return 0;
        // Row k of the sheet holds this kind's frames: cell (f, k) becomes frame f.
        for (int32_t f = 0; f < CROWD_FRAMES; ++f)
            if (!bob_load_frame(owner, sheet, f, f, k, LOAD_FROM_CELL)) return 0;
        if (!bob_add_sequence(owner, SEQUENCE_BOUNCE, 10, kBounce) ||
            !bob_add_sequence(owner, SEQUENCE_IDLE, 13, kIdle) ||
            !bob_add_sequence(owner, SEQUENCE_STARTLED, 1, kStartled))
            return 0;
    }
    return 1;
}

int crowd_add(Crowd* crowd, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t kind = static_cast<int32_t>(crowd->members.size() % CROWD_KINDS);
        // A clone copies the owner's record and borrows its frames and sequences: no pixels
        // are copied, and destroying the clone leaves the owner's frames alone.
        BOB member;
        bob_clone(&crowd->owners[kind], &member);
        bob_set_position(&member, random_between(crowd, 0, 640 - CROWD_SIZE),
                         random_between(crowd, 24, 480 - CROWD_SIZE));
        int32_t vx = 0, vy = 0;
        while (vx == 0 && vy == 0) {
            vx = random_between(crowd, -4, 4);
            vy = random_between(crowd, -3, 3);
        }
        bob_set_velocity(&member, vx, vy);
        bob_set_anim_speed(&member, random_between(crowd, 2, 4));  // a step every 2 to 4 frames
        const int32_t calm = (i % 3 == 2) ? SEQUENCE_IDLE : SEQUENCE_BOUNCE;
        bob_select_sequence(&member, calm);
        bob_show(&member);
        crowd->members.push_back(member);
        crowd->kind.push_back(kind);
        crowd->flash.push_back(0);
        crowd->calm.push_back(calm);
    }
    return static_cast<int>(crowd->members.size());
}

int crowd_remove(Crowd* crowd, int32_t count) {
    for (int32_t i = 0; i < count && !crowd->members.empty(); ++i) {
        bob_destroy(&crowd->members.back());  // a clone: lets go of what it borrowed, frees nothing
        crowd->members.pop_back();
        crowd->kind.pop_back();
        crowd->flash.pop_back();
        crowd->calm.pop_back();
    }
    return static_cast<int>(crowd->members.size());
}

void crowd_move(Crowd* crowd) {
    for (size_t i = 0; i < crowd->members.size(); ++i) {
        BOB* member = &crowd->members[i];
        if (crowd->flash[i] > 0 && --crowd->flash[i] == 0) bob_select_sequence(member, crowd->calm[i]);
        bob_animate(member);  // the next frame of the member's sequence, every few calls
        bob_move(member);     // adds the velocity, then rebounds or wraps at the screen's edges
    }
}

int crowd_collide(Crowd* crowd) {
    int pairs = 0;
    const size_t n = crowd->members.size();
    for (size_t a = 0; a < n; ++a)
        for (size_t b = a + 1; b < n; ++b) {
            if (!bob_collide(&crowd->members[a], &crowd->members[b])) continue;
            ++pairs;
            for (size_t m : {a, b}) {
                if (crowd->flash[m] == 0) {
                    bob_select_sequence(&crowd->members[m], SEQUENCE_STARTLED);
                    crowd->members[m].frame = kStartled[0];  // show it now, not at the next step
                }
                crowd->flash[m] = CROWD_FLASH;
            }
        }
    return pairs;
}

int crowd_draw(const Crowd* crowd, PlatSurface* dest) {
    int drawn = 0;
    for (const BOB& member : crowd->members) drawn += bob_draw(&member, dest);
    return drawn;
}

void crowd_release(Crowd* crowd) {
    crowd_remove(crowd, static_cast<int32_t>(crowd->members.size()));
    // Only now the owners: their frames and sequences outlive every clone that borrowed them.
    for (BOB& owner : crowd->owners) bob_destroy(&owner);
}
