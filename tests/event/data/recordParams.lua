-- Records what the trigger published before this script ran.
recorded = target .. "@" .. row
