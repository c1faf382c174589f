# Filled in with the example runs.
