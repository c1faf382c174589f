an image of an earlier run
