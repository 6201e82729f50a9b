#pragma once

/// Creates every object of the demonstration and hands it to the World.
void buildScene();
