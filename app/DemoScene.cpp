#include "app/DemoScene.h"

void buildScene() {}
