// Process
