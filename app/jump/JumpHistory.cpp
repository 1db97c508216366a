#include "app/jump/JumpHistory.h"

#include <utility>

void JumpHistory::Push(Place place)
{
    if (places.size() == Capacity)
        places.pop_front();
    places.push_back(std::move(place));
}

int JumpHistory::Pop(Place* place)
{
    if (places.empty())
        return 0;
    *place = std::move(places.back());
    places.pop_back();
    return 1;
}
